#version 110
// gParticle: a bright warm core with a soft halo (the glow texture's alpha), added over the frame.
uniform sampler2D Glow;
uniform float LightAmount;
uniform float Scale;
varying vec2 Uv;
varying vec4 Colour;
void main() {
  float a = texture2D(Glow, Uv).a * Colour.a;
  vec3 firefly = vec3(1.0, 0.95, 0.55) * Colour.rgb;
  gl_FragColor = vec4(firefly * LightAmount * max(Scale, 0.0), a);
}
