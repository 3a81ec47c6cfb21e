#version 110
// gBubble: the waterfalls' ribbons, flowing along their texture's v.
varying vec2 Uv;
varying vec3 EyePos;
varying vec3 Normal;
void main() {
  Uv = gl_MultiTexCoord0.xy;
  EyePos = (gl_ModelViewMatrix * gl_Vertex).xyz;
  Normal = gl_NormalMatrix * gl_Normal;
  gl_Position = ftransform();
}
