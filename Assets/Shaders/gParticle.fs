#version 110
// gParticle: a bright core with a soft halo (the glow texture's alpha) in the particle's own
// colour (fireflies warm yellow-green, pollen pale gold, rain cool grey), added over the frame.
uniform sampler2D Glow;
uniform float LightAmount;
uniform float Scale;
varying vec2 Uv;
varying vec4 Colour;
void main() {
  float a = texture2D(Glow, Uv).a * Colour.a;
  gl_FragColor = vec4(Colour.rgb * LightAmount * max(Scale, 0.0), a);
}
