#version 110
// gBubble: the waterfalls' ribbons, flowing along their texture's v. The surface ripples: a wave
// runs down the fall (v) and a slower one across it (u), lifting the ribbon along its normal and
// tilting the normal with the slope, so the highlights travel with the water.
uniform float Timer;
varying vec2 Uv;
varying vec3 EyePos;
varying vec3 Normal;
void main() {
  Uv = gl_MultiTexCoord0.xy;
  float down = Uv.y * 9.0 - Timer * 4.0;
  float across = Uv.x * 6.2831853 + Timer * 1.7;
  float lift = 0.09 * sin(down) + 0.05 * sin(across);
  vec4 position = gl_Vertex + vec4(gl_Normal * lift, 0.0);
  // The slope of the wave down the fall tips the normal along the tangent (texture unit 1).
  vec3 slope = gl_MultiTexCoord1.xyz * (0.35 * cos(down));
  EyePos = (gl_ModelViewMatrix * position).xyz;
  Normal = gl_NormalMatrix * normalize(gl_Normal - slope);
  gl_Position = gl_ModelViewProjectionMatrix * position;
}
