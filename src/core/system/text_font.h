#pragma once

// The font the pictures' texts are drawn in: one face, found through fontconfig and rasterised by
// FreeType, with every glyph kept once rasterised at a size, so that a map of a few hundred labels
// costs a look-up per glyph. The layers measure their texts with it and the surfaces draw them with
// it, so a text takes the same room on every surface. Not for use from two threads at once.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "system/drawing_surface.h"

namespace globeview {

// The face looked for: it has the Japanese labels' glyphs as well as Latin ones.
inline constexpr const char* kTextFontFamily = "Noto Sans CJK JP";

// A font that cannot be had: the message names what was looked for and why it failed.
class FontError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One glyph as FreeType rasterised it: coverage 0..255 a pixel, rows from the top, placed `left`
// pixels right of the pen and `top` pixels above the baseline.
struct Glyph {
  int left = 0;
  int top = 0;
  int width = 0;
  int rows = 0;
  double advance = 0;  // pixels the pen moves on
  std::vector<std::uint8_t> coverage;
};

// A text's box in pixels: its advance from the first origin and the font's ascent and descent at
// that size (positive, above and below the baseline).
struct TextBox {
  double width = 0;
  double ascent = 0;
  double descent = 0;
};

// Where the baseline of a text starts, pixels from the anchor point, x right and y down.
struct TextOrigin {
  double x = 0;
  double y = 0;
};

class TextFont {
 public:
  // The program's font, found on first use; throws FontError when fontconfig has no face of
  // kTextFontFamily or FreeType cannot open it.
  static TextFont& Shared();

  // The face fontconfig matches to `family`; throws FontError unless the match is that family.
  explicit TextFont(std::string_view family);
  ~TextFont();
  TextFont(const TextFont&) = delete;
  TextFont& operator=(const TextFont&) = delete;

  // The family and the file of the face in use.
  const std::string& Family() const { return family_; }
  const std::string& File() const { return file_; }

  // Sizes are taken to the nearest whole pixel, at least one.
  TextBox Measure(std::string_view utf8, double pixelSize);
  // The glyph of one character at a size; a character the face lacks is its missing-glyph box.
  const Glyph& GlyphOf(char32_t character, double pixelSize);

  // The baseline's start for a box placed by an anchor.
  static TextOrigin OriginOf(const TextBox& box, TextAnchor anchor);

 private:
  struct Face;
  void SetSize(int pixels);

  std::unique_ptr<Face> face_;
  std::string family_;
  std::string file_;
  int size_ = 0;
  std::unordered_map<std::uint64_t, Glyph> glyphs_;
};

// The characters of a UTF-8 text; a byte that starts no valid sequence is U+FFFD.
std::u32string DecodeUtf8(std::string_view utf8);

}  // namespace globeview
