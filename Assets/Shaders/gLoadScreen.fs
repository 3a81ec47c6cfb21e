#version 110
// gLoadScreen: the loading picture over the whole window. Images are stored top row first, so
// the picture's top is at texture row 0 and the screen's top at Uv.y 1.
uniform sampler2D Image;
varying vec2 Uv;
void main() {
  gl_FragColor = vec4(texture2D(Image, vec2(Uv.x, 1.0 - Uv.y)).rgb, 1.0);
}
