#version 110
// gBubble: pale, shimmering water. Two layers of grain slide down at different speeds; where they
// meet the ribbon catches the light. Brighter where it faces the sky, half transparent.
uniform sampler2D Grain;
uniform float Timer;
uniform vec3 ViewUp;
varying vec2 Uv;
varying vec3 EyePos;
varying vec3 Normal;
void main() {
  float a = texture2D(Grain, Uv * vec2(1.0, 0.5) + vec2(0.0, Timer * 0.6)).r;
  float b = texture2D(Grain, Uv * vec2(2.0, 1.0) + vec2(0.37, Timer * 1.1)).r;
  float shimmer = smoothstep(0.55, 0.9, a * b * 2.0);
  float sky = abs(dot(normalize(Normal), ViewUp)) * 0.5 + 0.5;
  vec3 water = vec3(0.62, 0.68, 0.80) * sky + vec3(0.35, 0.32, 0.30) * shimmer;
  gl_FragColor = vec4(water, 0.35 + 0.3 * shimmer);
}
