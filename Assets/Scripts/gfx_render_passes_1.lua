-- The render passes, in the order they are drawn each frame. Each pass is a list of states begun
-- in order ({keyword, parameter text}), then the queues of its materials, then the states ended.
-- Global.AddRenderPass(name, state count, material count, keywords, parameters, materials) takes
-- the parameters one after the other: each keyword reads as many words as its kind needs.
--
-- The frame: the scene is drawn into Aux2 over the sky (with the shadow map when shadows are on),
-- the point lights and the particles are added, the bright parts are kept in LightFirst, the
-- optional post-processing works on Aux2 in place, and the last pass puts the picture on the
-- window, where the interface text goes over it. The graphics facade switches the passes named
-- here by its shadow and post-processing switches.

local function Pass(name, states, materials)
  materials = materials or {}
  local keywords, parameters = {}, {}
  for _, state in ipairs(states) do
    keywords[#keywords + 1] = state[1]
    parameters[#parameters + 1] = state[2] or ""
  end
  Global.AddRenderPass(name, #states, #materials, table.concat(keywords, " "), table.concat(parameters, " "),
                       table.concat(materials, " "))
end

local solids = {"gGround", "gVine", "gDodod", "Green"}
local scene = {"gGround", "gVine", "gDodod", "Green", "gGlowing", "gaBubble"}

-- The window's depth is never drawn into: cleared once, it lets the text over the frame draw.
Pass("ClearBackBuffer", {{"TARGET", "BackBuffer"}, {"CLEAR"}})

-- Shadows: the solids' depth from above into the shadow map, then blurred soft.
Pass("IsCaster", {{"TARGET", "Shadow"}, {"CLEAR"}, {"SHADOWTRANSFORM"}, {"CULL", "Front"}}, solids)
Pass("BlurVSM", {
  {"WINDOWSIZE", "256 256"}, {"NODEPTH"},
  {"TARGET", "ShadowAux0"}, {"SOURCE", "0 0 1 Shadow"}, {"MATERIAL", "gBlurVSMX"}, {"FULLSCREENQUAD", "1 1"},
  {"TARGET", "ShadowAux1"}, {"SOURCE", "0 0 1 ShadowAux0"}, {"MATERIAL", "gBlurVSMY"}, {"FULLSCREENQUAD", "1 1"},
})

-- The scene over the sky, shadowed; without shadows the blurred map is emptied, which lights all.
Pass("StaticLighting", {
  {"TARGET", "Aux2"}, {"CLEAR"}, {"MATERIAL", "gSky"}, {"FULLSCREENQUAD", "1 1"},
  {"SOURCE", "3 0 1 ShadowAux1"}, {"MATERIAL", "gSceneLight"},
}, scene)
Pass("StaticLightingNoShadows", {
  {"TARGET", "ShadowAux1"}, {"CLEAR"},
  {"TARGET", "Aux2"}, {"CLEAR"}, {"MATERIAL", "gSky"}, {"FULLSCREENQUAD", "1 1"},
  {"SOURCE", "3 0 1 ShadowAux1"}, {"MATERIAL", "gSceneLight"},
}, scene)

-- Fireflies' and lanterns' light added over the lit surfaces, over the depth the scene left.
Pass("PointLights", {{"TARGET", "Aux2"}, {"NODEPTH"}, {"BLEND", "One One"}, {"RENDERL", "lflPointLight"}})
Pass("Particles", {{"TARGET", "Aux2"}}, {"gFireflyParticle", "gFireflyGetParticle"})

-- What shines, for the rays and the glow.
Pass("LightFirst", {{"TARGET", "LightFirst"}, {"SOURCE", "0 0 1 Aux2"}, {"MATERIAL", "gBright"}, {"FULLSCREENQUAD", "1 1"}})

-- Post-processing one: ink edges and light rays, or a simple glow instead of the rays.
Pass("PostProcessEdgeDetect", {
  {"TARGET", "Aux3"}, {"SOURCE", "0 0 1 Aux2"}, {"MATERIAL", "gEdge"}, {"FULLSCREENQUAD", "1 1"},
  {"TARGET", "Aux2"}, {"SOURCE", "0 0 1 Aux3"}, {"MATERIAL", "gCopy"}, {"FULLSCREENQUAD", "1 1"},
})
Pass("LightRay", {
  {"TARGET", "Aux0"}, {"SOURCE", "0 0 1 LightFirst"}, {"MATERIAL", "gLightRay"}, {"FULLSCREENQUAD", "2 2"},
  {"TARGET", "Aux2"}, {"SOURCE", "0 0 1 Aux0"}, {"BLEND", "One One"}, {"MATERIAL", "gCopy"},
  {"FULLSCREENQUAD", "1 1"},
})
Pass("LightRaySimple", {
  {"TARGET", "Aux0"}, {"SOURCE", "0 0 1 LightFirst"}, {"MATERIAL", "gGlow"}, {"FULLSCREENQUAD", "2 2"},
  {"TARGET", "Aux2"}, {"SOURCE", "0 0 1 Aux0"}, {"BLEND", "One One"}, {"MATERIAL", "gCopy"},
  {"FULLSCREENQUAD", "1 1"},
})

-- Post-processing two: grain and vignette, then the frame onto the window with an echo of the last
-- one (kept at half size in Aux1); without it, the frame straight onto the window.
Pass("PostProcessGritty", {{"TARGET", "Aux3"}, {"SOURCE", "0 0 1 Aux2"}, {"MATERIAL", "gGritty"}, {"FULLSCREENQUAD", "1 1"}})
Pass("Feedbacker", {
  {"TARGET", "BackBuffer"}, {"SOURCE", "0 0 1 Aux3"}, {"SOURCE", "1 0 1 Aux1"}, {"MATERIAL", "gFeedbacker"},
  {"FULLSCREENQUAD", "1 1"},
  {"TARGET", "Aux1"}, {"SOURCE", "0 0 1 Aux3"}, {"MATERIAL", "gCopy"}, {"FULLSCREENQUAD", "2 2"},
})
Pass("Aux2ToBackbuffer", {{"TARGET", "BackBuffer"}, {"SOURCE", "0 0 1 Aux2"}, {"MATERIAL", "gCopy"}, {"FULLSCREENQUAD", "1 1"}})

-- Interface text over the finished picture.
Pass("Overlay", {{"TARGET", "BackBuffer"}}, {"TextFade"})

-- Where the switches start: shadows and both sets of post-processing on.
Global.TouchRenderPass("ShadowMapping enable")
Global.TouchRenderPass("PostProcessingOne enable")
Global.TouchRenderPass("PostProcessingTwo enable")
