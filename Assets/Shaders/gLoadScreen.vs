#version 110
// A full-screen pass: the quad covers the unit square; Uv runs 0 to 1 across the target.
varying vec2 Uv;
void main() {
  Uv = gl_MultiTexCoord0.xy;
  gl_Position = ftransform();
}
