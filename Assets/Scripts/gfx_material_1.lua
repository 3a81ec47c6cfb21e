-- The scene's materials defined by script at start-up, before the render passes that draw with
-- them (the first few, needed before any script runs, are in Xml/materialsMin.xml).
-- Global.AddMaterial(name, property count, keywords, parameters) takes the keywords in one text and
-- their parameters in another, one after the other: each keyword reads as many words as its kind
-- needs (TEXTURE a unit and a file, UNIFORM a value and a name, NODEPTH none).

local shaders = "../../Assets/Shaders/"
local textures = "../../Assets/Textures/"

-- A material from a list of {keyword, parameter text} pairs.
local function Material(name, properties)
  local keywords, parameters = {}, {}
  for _, property in ipairs(properties) do
    keywords[#keywords + 1] = property[1]
    parameters[#parameters + 1] = property[2] or ""
  end
  Global.AddMaterial(name, #properties, table.concat(keywords, " "), table.concat(parameters, " "))
end

-- The scene program's inputs for a whole pass, begun once before its surfaces are drawn.
Material("gSceneLight", {
  {"SHADER", shaders .. "gScene"},
  {"UNIFORM", "0 Grass"}, {"UNIFORM", "1 Rock"}, {"UNIFORM", "3 Shadow"},
  {"GAMEINFO", "ViewUp"}, {"GAMEINFO", "LightAbove"}, {"GAMEINFO", "LightBelow"},
  {"GAMEINFO", "LightAmbientScale"}, {"GAMEINFO", "GrassColorScale"}, {"GAMEINFO", "GrassColorBias"},
})

Material("gVine", {{"SHADER", shaders .. "gScene"}, {"UNIFORM", "2 Kind"}, {"GAMEINFO", "VineColor"}})

-- Dodod and his scarf take their colours from their vertices.
Material("gDodod", {{"SHADER", shaders .. "gScene"}, {"UNIFORM", "3 Kind"}, {"GAMEINFO", "VertexColor"}})

-- What gives its own light, in its vertex colours: the lantern's glowing core (its iron stays dark).
Material("gGlowing", {{"SHADER", shaders .. "gScene"}, {"UNIFORM", "4 Kind"}, {"GAMEINFO", "VertexColor"}})

-- One point light over the lit surfaces; the pass adds it.
Material("lflPointLight", {
  {"SHADER", shaders .. "lflPointLight"}, {"GAMEINFO", "GrassColorScale"}, {"GAMEINFO", "GrassColorBias"},
})

Material("gaBubble", {
  {"SHADER", shaders .. "gBubble"}, {"TEXTURE", "0 " .. textures .. "noise.bmp"}, {"TIMER", "1.0"},
  {"GAMEINFO", "ViewUp"}, {"GAMEINFO", "Doublesided"}, {"BLEND", "Alpha"}, {"NODEPTH"},
})

-- Fireflies, and the burst when one is caught: added light that writes no depth.
Material("gFireflyParticle", {
  {"SHADER", shaders .. "gParticle"}, {"TEXTURE", "0 " .. textures .. "glow.bmp"}, {"GAMEINFO", "LightAmount"},
  {"SCALE", "1.0"}, {"BLEND", "Additive"}, {"NODEPTH"},
})
Material("gFireflyGetParticle", {
  {"SHADER", shaders .. "gParticle"}, {"TEXTURE", "0 " .. textures .. "glow.bmp"}, {"GAMEINFO", "LightAmount"},
  {"SCALE", "1.6"}, {"BLEND", "Additive"}, {"NODEPTH"},
})

-- Interface text, drawn over the finished frame from the glyph atlas the renderer makes at start.
Material("TextFade", {
  {"SHADER", shaders .. "gText"}, {"TEXTURE", "0 GlyphAtlas"}, {"GAMEINFO", "TextFade"}, {"GAMEINFO", "Doublesided"}, {"BLEND", "Alpha"},
  {"NODEPTH"},
})
