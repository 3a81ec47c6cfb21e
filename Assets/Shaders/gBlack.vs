#version 110
// gBlack: the default program, shader 0. Draws what it is given in black.
void main() {
  gl_Position = ftransform();
}
