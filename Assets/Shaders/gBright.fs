#version 110
// gBright: what is bright enough to shine: lanterns, fireflies and the glow low on the horizon.
uniform sampler2D Source;
varying vec2 Uv;
void main() {
  vec3 c = texture2D(Source, Uv).rgb;
  float peak = max(c.r, max(c.g, c.b));
  gl_FragColor = vec4(c * smoothstep(0.6, 0.95, peak), 1.0);
}
