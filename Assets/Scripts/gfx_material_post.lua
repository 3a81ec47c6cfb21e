-- The materials of the full-screen passes: the sky, the shadow blur and the post-processing.
-- Each is begun by a MATERIAL state of its pass just before the pass draws its full-screen quad.

local shaders = "../../Assets/Shaders/"
local textures = "../../Assets/Textures/"

local function Material(name, properties)
  local keywords, parameters = {}, {}
  for _, property in ipairs(properties) do
    keywords[#keywords + 1] = property[1]
    parameters[#parameters + 1] = property[2] or ""
  end
  Global.AddMaterial(name, #properties, table.concat(keywords, " "), table.concat(parameters, " "))
end

Material("gSky", {{"SHADER", shaders .. "gSky"}, {"GAMEINFO", "ViewProjInverse"}, {"TIMER", "1.0"}})

-- The shadow map (512 texels) blurred across into ShadowAux0, then ShadowAux0 (256) down into ShadowAux1.
Material("gBlurVSMX", {{"SHADER", shaders .. "gBlurVSM"}, {"UNIFORM", "1 Horizontal"}, {"UNIFORM", "512 Size"}})
Material("gBlurVSMY", {{"SHADER", shaders .. "gBlurVSM"}, {"UNIFORM", "0 Horizontal"}, {"UNIFORM", "256 Size"}})

Material("gBright", {{"SHADER", shaders .. "gBright"}})
Material("gLightRay", {{"SHADER", shaders .. "gLightRay"}})
Material("gGlow", {{"SHADER", shaders .. "gGlow"}, {"GAMEINFO", "ScreenWidth"}, {"GAMEINFO", "ScreenHeight"}})
Material("gEdge", {{"SHADER", shaders .. "gEdge"}, {"GAMEINFO", "ScreenWidth"}, {"GAMEINFO", "ScreenHeight"}})
Material("gGritty", {
  {"SHADER", shaders .. "gGritty"}, {"TEXTURE", "1 " .. textures .. "noise.bmp"}, {"UNIFORM", "1 Noise"},
  {"TIMER", "1.0"}, {"GAMEINFO", "ScreenWidth"}, {"GAMEINFO", "ScreenHeight"},
})
Material("gFeedbacker", {{"SHADER", shaders .. "gFeedbacker"}, {"UNIFORM", "1 Previous"}})
Material("gCopy", {{"SHADER", shaders .. "gCopy"}})
