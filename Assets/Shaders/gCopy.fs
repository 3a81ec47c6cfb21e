#version 110
// gCopy: the source texture as it is (the pass's BLEND state decides how it lands).
uniform sampler2D Source;
varying vec2 Uv;
void main() {
  gl_FragColor = texture2D(Source, Uv);
}
