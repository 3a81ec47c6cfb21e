#version 110
// gText: the glyphs' coverage (the font texture's alpha, its dark outline in its colour) in the
// interface text colour, faded by the game's text fade and the visual's own fade.
uniform sampler2D Font;
uniform vec3 TextFade;
uniform float FadeGroup;
varying vec2 Uv;
void main() {
  vec4 glyph = texture2D(Font, Uv);
  gl_FragColor = vec4(glyph.rgb * TextFade, glyph.a * clamp(FadeGroup, 0.0, 1.0));
}
