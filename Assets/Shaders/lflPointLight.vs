#version 110
// lflPointLight: one firefly's or lantern's light over the lit surfaces, drawn once per light.
// The light comes as constant texture coordinates: unit 1 its eye-space position and radius,
// unit 2 its colour and its special value (a brightness factor).
varying vec3 EyePos;
varying vec3 Normal;
varying vec4 LightPos;
varying vec4 LightColour;
void main() {
  EyePos = (gl_ModelViewMatrix * gl_Vertex).xyz;
  Normal = gl_NormalMatrix * gl_Normal;
  LightPos = gl_MultiTexCoord1;
  LightColour = gl_MultiTexCoord2;
  gl_Position = ftransform();
}
