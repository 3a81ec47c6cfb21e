#version 110
// gParticle: fireflies, sparks, pollen: small textured quads with their own colour and alpha.
varying vec2 Uv;
varying vec4 Colour;
void main() {
  Uv = gl_MultiTexCoord0.xy;
  Colour = gl_Color;
  gl_Position = ftransform();
}
