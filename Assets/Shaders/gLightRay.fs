#version 110
// gLightRay: light rays, a radial blur of the bright parts toward a point above the middle of the
// screen, fading along each ray. Drawn at half size and added over the frame.
uniform sampler2D Source;
varying vec2 Uv;
void main() {
  vec2 centre = vec2(0.5, 0.6);
  vec2 step = (Uv - centre) * 0.035;
  vec2 p = Uv;
  vec3 sum = vec3(0.0);
  float weight = 1.0;
  for (int i = 0; i < 16; ++i) {
    sum += texture2D(Source, p).rgb * weight;
    weight *= 0.9;
    p -= step;
  }
  gl_FragColor = vec4(sum * 0.045, 1.0);
}
