#version 110
// gText: on-screen and floating text, one textured quad per line.
varying vec2 Uv;
void main() {
  Uv = gl_MultiTexCoord0.xy;
  gl_Position = ftransform();
}
