#version 110
// gEdge: a thin ink line where the picture's brightness changes sharply, as at silhouettes
// against the sky: the luminance gradient from the four neighbours. Gentle ramps, like the sky,
// draw no line.
uniform sampler2D Source;
uniform float ScreenWidth;
uniform float ScreenHeight;
varying vec2 Uv;
float Luma(vec2 offset) {
  vec2 texel = vec2(1.0 / max(ScreenWidth, 1.0), 1.0 / max(ScreenHeight, 1.0));
  return dot(texture2D(Source, Uv + offset * texel).rgb, vec3(0.2126, 0.7152, 0.0722));
}
void main() {
  vec2 gradient = vec2(Luma(vec2(1.0, 0.0)) - Luma(vec2(-1.0, 0.0)), Luma(vec2(0.0, 1.0)) - Luma(vec2(0.0, -1.0)));
  float edge = smoothstep(0.06, 0.22, length(gradient));
  vec3 ink = vec3(0.08, 0.06, 0.12);
  gl_FragColor = vec4(mix(texture2D(Source, Uv).rgb, ink, edge * 0.55), 1.0);
}
