#version 110
// lflPointLight: the light one point source adds to a surface, for additive blending. Falls off
// smoothly to nothing at its radius and wraps a little past the terminator, so light is soft.
uniform vec3 GrassColorScale;
uniform vec3 GrassColorBias;
varying vec3 EyePos;
varying vec3 Normal;
varying vec4 LightPos;
varying vec4 LightColour;
void main() {
  vec3 toLight = LightPos.xyz - EyePos;
  float d = length(toLight);
  float reach = clamp(1.0 - d / max(LightPos.w, 0.001), 0.0, 1.0);
  float wrap = clamp((dot(normalize(Normal), toLight / max(d, 0.001)) + 0.3) / 1.3, 0.0, 1.0);
  vec3 surface = GrassColorScale * 0.75 + GrassColorBias;
  float special = LightColour.a > 0.0 ? LightColour.a : 1.0;
  gl_FragColor = vec4(LightColour.rgb * surface * wrap * reach * reach * special, 1.0);
}
