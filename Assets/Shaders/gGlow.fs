#version 110
// gGlow: the simple stand-in for light rays: the bright parts blurred a little at half size, to
// be added over the frame as a soft halo.
uniform sampler2D Source;
uniform float ScreenWidth;
uniform float ScreenHeight;
varying vec2 Uv;
void main() {
  vec2 texel = vec2(3.0 / max(ScreenWidth, 1.0), 3.0 / max(ScreenHeight, 1.0));
  vec3 sum = vec3(0.0);
  for (int x = -1; x <= 1; ++x)
    for (int y = -1; y <= 1; ++y) sum += texture2D(Source, Uv + texel * vec2(float(x), float(y))).rgb;
  gl_FragColor = vec4(sum * (0.3 / 9.0), 1.0);
}
