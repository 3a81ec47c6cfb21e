#version 110
// gBlack: plain black, the colour of anything drawn before a material names its own program.
void main() {
  gl_FragColor = vec4(0.0, 0.0, 0.0, 1.0);
}
