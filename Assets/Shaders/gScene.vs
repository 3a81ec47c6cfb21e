#version 110
// gScene: the world's solid surfaces. Everything is passed on in eye space; ftransform keeps the
// depth of a surface identical in every pass that draws it, so later passes can test it for equal.
varying vec3 EyePos;
varying vec3 Normal;
varying vec4 ShadowCoord;  // texture matrix 7 maps eye space into the shadow map
varying vec2 Uv;
varying vec4 Colour;
void main() {
  vec4 eye = gl_ModelViewMatrix * gl_Vertex;
  EyePos = eye.xyz;
  Normal = gl_NormalMatrix * gl_Normal;
  ShadowCoord = gl_TextureMatrix[7] * eye;
  Uv = gl_MultiTexCoord0.xy;
  Colour = gl_Color;
  gl_Position = ftransform();
}
