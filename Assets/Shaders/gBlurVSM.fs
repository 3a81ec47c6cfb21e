#version 110
// gBlurVSM: one direction of a Gaussian blur of the shadow map's moments, which is what makes the
// shadows soft. Size is the source's width in texels.
uniform sampler2D Source;
uniform int Horizontal;
uniform int Size;
varying vec2 Uv;
void main() {
  vec2 texel = (Horizontal != 0 ? vec2(1.0, 0.0) : vec2(0.0, 1.0)) / float(Size > 0 ? Size : 1);
  vec4 sum = texture2D(Source, Uv) * 0.2270;
  sum += (texture2D(Source, Uv + texel * 1.385) + texture2D(Source, Uv - texel * 1.385)) * 0.3162;
  sum += (texture2D(Source, Uv + texel * 3.231) + texture2D(Source, Uv - texel * 3.231)) * 0.0703;
  gl_FragColor = sum;
}
