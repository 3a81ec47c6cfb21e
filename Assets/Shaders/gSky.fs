#version 110
// gSky: the dusk sky behind everything. Each pixel's view ray is unprojected from the screen, and
// its elevation picks the colour: indigo overhead, rose and amber at the horizon, the violet haze of
// the sky sea below. A few faint stars twinkle in the upper sky.
uniform mat4 ViewProjInverse;
uniform float Timer;
varying vec2 Uv;

// Kept the same as gScene.fs's Sky, which fades distant ground into it.
vec3 Sky(float e) {
  vec3 zenith = vec3(0.05, 0.06, 0.16);
  vec3 rose = vec3(0.55, 0.32, 0.30);
  vec3 amber = vec3(0.80, 0.55, 0.35);
  vec3 haze = vec3(0.20, 0.15, 0.27);
  if (e < 0.0) return mix(amber, haze, smoothstep(0.0, 0.35, -e));
  return mix(mix(amber, rose, smoothstep(0.0, 0.08, e)), zenith, smoothstep(0.06, 0.55, e));
}

vec3 Unproject(float depth) {
  vec4 p = ViewProjInverse * vec4(Uv * 2.0 - 1.0, depth, 1.0);
  return p.xyz / p.w;
}

void main() {
  vec3 ray = normalize(Unproject(1.0) - Unproject(-1.0));
  vec3 colour = Sky(ray.y);
  // Stars: a sparse hash over directions, fading in with height.
  vec2 cell = floor(vec2(atan(ray.z, ray.x) * 300.0, ray.y * 300.0));
  float h = fract(sin(dot(cell, vec2(12.9898, 78.233))) * 43758.5453);
  float twinkle = 0.75 + 0.25 * sin(Timer * 2.0 + h * 40.0);
  colour += vec3(0.55, 0.55, 0.65) * step(0.9985, h) * smoothstep(0.2, 0.5, ray.y) * twinkle;
  gl_FragColor = vec4(colour, 1.0);
}
