#version 110
// gScene: islands, vines, Dodod and the fallback green. Lit by the cool sky above and the warm
// bounce below, with a dim key light from overhead that the variance shadow map softens; the
// fireflies' and lanterns' light is added by lflPointLight afterwards. Distance fades everything
// into the sky's own colour at that elevation. Drawn by the shadow pass (the only one with an
// orthographic projection), it writes the depth moments of the shadow map instead.
uniform int Kind;               // 0 ground, 1 fallback green, 2 vine, 3 vertex colour (Dodod),
                                // 4 vertex colour giving its own light (a lantern's core)
uniform sampler2D Grass;        // turf detail, tinted by the season
uniform sampler2D Rock;         // undersides
uniform sampler2D Shadow;       // blurred moments of 1 - depth seen from the light
uniform vec3 ViewUp;            // world up in eye space
uniform vec3 LightAbove;
uniform vec3 LightBelow;
uniform float LightAmbientScale;
uniform vec3 GrassColorScale;
uniform vec3 GrassColorBias;
uniform vec3 VineColor;
varying vec3 EyePos;
varying vec3 Normal;
varying vec4 ShadowCoord;
varying vec2 Uv;
varying vec4 Colour;

// The dusk sky by elevation (the sine of the angle above the horizon); the same as gSky.fs's, so
// that distant ground fades into the sky behind it without a seam.
vec3 Sky(float e) {
  vec3 zenith = vec3(0.05, 0.06, 0.16);
  vec3 rose = vec3(0.55, 0.32, 0.30);
  vec3 amber = vec3(0.80, 0.55, 0.35);
  vec3 haze = vec3(0.20, 0.15, 0.27);
  if (e < 0.0) return mix(amber, haze, smoothstep(0.0, 0.35, -e));
  return mix(mix(amber, rose, smoothstep(0.0, 0.08, e)), zenith, smoothstep(0.06, 0.55, e));
}

// How much of the key light reaches this point: Chebyshev's bound on the moments. An empty map
// (moments 0) lights everything.
float Lit(vec4 coord) {
  vec3 p = coord.xyz / coord.w;
  if (p.x <= 0.0 || p.x >= 1.0 || p.y <= 0.0 || p.y >= 1.0) return 1.0;
  vec2 m = texture2D(Shadow, p.xy).xy;
  float x = 1.0 - p.z;
  if (x >= m.x - 0.002) return 1.0;
  float variance = max(m.y - m.x * m.x, 0.00002);
  float d = m.x - x;
  return smoothstep(0.3, 1.0, variance / (variance + d * d));  // the cut keeps light from bleeding
}

vec3 Albedo(float up) {
  if (Kind == 0) {
    vec3 grass = texture2D(Grass, Uv).rgb * GrassColorScale + GrassColorBias;
    vec3 rock = texture2D(Rock, Uv).rgb * mix(0.55, 1.0, clamp(up + 1.0, 0.0, 1.0));
    return mix(rock, grass, smoothstep(0.35, 0.7, up));
  }
  if (Kind == 1) return vec3(0.30, 0.45, 0.22);
  if (Kind == 2) return VineColor;
  return Colour.rgb * vec3(0.92, 0.90, 0.85);
}

void main() {
  if (gl_ProjectionMatrix[3][3] > 0.5) {
    float x = 1.0 - gl_FragCoord.z;
    gl_FragColor = vec4(x, x * x, 0.0, 1.0);
    return;
  }
  vec3 n = normalize(Normal);
  float up = dot(n, ViewUp);
  vec3 ambient = mix(LightBelow, LightAbove, up * 0.5 + 0.5) * LightAmbientScale;
  vec3 key = vec3(0.30, 0.25, 0.22) * max(up, 0.0) * Lit(ShadowCoord);
  vec3 colour = Kind == 4 ? Colour.rgb : Albedo(up) * (ambient + key);
  float fog = 1.0 - exp(-length(EyePos) * 0.0009);
  colour = mix(colour, Sky(dot(normalize(EyePos), ViewUp)), fog);
  gl_FragColor = vec4(colour, 1.0);
}
