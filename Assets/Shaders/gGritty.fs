#version 110
// gGritty: a little film grain that drifts each frame, and a soft darkening toward the corners.
uniform sampler2D Source;
uniform sampler2D Noise;
uniform float Timer;
uniform float ScreenWidth;
uniform float ScreenHeight;
varying vec2 Uv;
void main() {
  vec3 c = texture2D(Source, Uv).rgb;
  vec2 grainUv = Uv * vec2(ScreenWidth, ScreenHeight) / 64.0 + fract(Timer * vec2(13.1, 7.7));
  c += (texture2D(Noise, grainUv).r - 0.5) * 0.04;
  c *= mix(1.0, 0.84, smoothstep(0.35, 0.75, length(Uv - 0.5)));
  gl_FragColor = vec4(c, 1.0);
}
