#version 110
// gFeedbacker: a faint echo of the last frame (kept at half size, so softened) under this one:
// moving lights leave a short dreamy trail.
uniform sampler2D Source;
uniform sampler2D Previous;
varying vec2 Uv;
void main() {
  gl_FragColor = vec4(mix(texture2D(Source, Uv).rgb, texture2D(Previous, Uv).rgb, 0.18), 1.0);
}
