#include "system/text_font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

namespace globeview {

namespace {

// FreeType's 26.6 fixed point: sixty-fourths of a pixel.
constexpr double kUnitsPerPixel = 64.0;
constexpr char32_t kReplacement = 0xFFFD;

int WholePixels(double pixelSize) {
  return std::max(1, static_cast<int>(std::lround(pixelSize)));
}

// The file and face index fontconfig matches to a family, and the family it actually found.
struct FontMatch {
  std::string file;
  int index = 0;
  std::string family;
};

FontMatch MatchFamily(std::string_view family) {
  const std::string wanted(family);
  const std::string looked = "no font \"" + wanted + "\" found through fontconfig";
  if (!FcInit()) throw FontError(looked + ": fontconfig could not be initialised");
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(wanted.c_str()));
  if (pattern == nullptr) throw FontError(looked + ": not a font name");
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) throw FontError(looked + " (is fonts-noto-cjk installed?)");
  FontMatch found;
  FcChar8* text = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &text) == FcResultMatch) {
    found.file = reinterpret_cast<const char*>(text);
  }
  if (FcPatternGetString(match, FC_FAMILY, 0, &text) == FcResultMatch) {
    found.family = reinterpret_cast<const char*>(text);
  }
  FcPatternGetInteger(match, FC_INDEX, 0, &found.index);
  FcPatternDestroy(match);
  // fontconfig always answers with some font; one of another family lacks the labels' glyphs.
  if (found.family != wanted || found.file.empty()) {
    throw FontError(looked + " (the nearest is \"" + found.family +
                    "\"; is fonts-noto-cjk installed?)");
  }
  return found;
}

}  // namespace

struct TextFont::Face {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ~Face() {
    if (face != nullptr) FT_Done_Face(face);
    if (library != nullptr) FT_Done_FreeType(library);
  }
};

TextFont& TextFont::Shared() {
  static TextFont font(kTextFontFamily);
  return font;
}

TextFont::TextFont(std::string_view family) : face_(std::make_unique<Face>()) {
  const FontMatch match = MatchFamily(family);
  family_ = match.family;
  file_ = match.file;
  if (FT_Init_FreeType(&face_->library) != 0) {
    throw FontError("FreeType could not be initialised for " + file_);
  }
  if (FT_New_Face(face_->library, file_.c_str(), match.index, &face_->face) != 0) {
    throw FontError(file_ + ": FreeType cannot read this font");
  }
}

TextFont::~TextFont() = default;

void TextFont::SetSize(int pixels) {
  if (pixels == size_) return;
  FT_Set_Pixel_Sizes(face_->face, 0, static_cast<FT_UInt>(pixels));
  size_ = pixels;
}

const Glyph& TextFont::GlyphOf(char32_t character, double pixelSize) {
  const int pixels = WholePixels(pixelSize);
  const std::uint64_t key = (static_cast<std::uint64_t>(pixels) << 32) | character;
  const auto known = glyphs_.find(key);
  if (known != glyphs_.end()) return known->second;

  SetSize(pixels);
  Glyph glyph;
  const FT_UInt index = FT_Get_Char_Index(face_->face, character);
  if (FT_Load_Glyph(face_->face, index, FT_LOAD_RENDER) == 0) {
    const FT_GlyphSlot slot = face_->face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.advance = static_cast<double>(slot->advance.x) / kUnitsPerPixel;
    glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.rows);
    for (int row = 0; row < glyph.rows; ++row) {
      const unsigned char* from = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
      std::copy(from, from + glyph.width,
                glyph.coverage.begin() + static_cast<std::ptrdiff_t>(row) * glyph.width);
    }
  }
  return glyphs_.emplace(key, std::move(glyph)).first->second;
}

TextBox TextFont::Measure(std::string_view utf8, double pixelSize) {
  TextBox box;
  for (const char32_t character : DecodeUtf8(utf8)) {
    box.width += GlyphOf(character, pixelSize).advance;
  }
  SetSize(WholePixels(pixelSize));
  const FT_Size_Metrics& metrics = face_->face->size->metrics;
  box.ascent = static_cast<double>(metrics.ascender) / kUnitsPerPixel;
  box.descent = -static_cast<double>(metrics.descender) / kUnitsPerPixel;
  return box;
}

TextOrigin TextFont::OriginOf(const TextBox& box, TextAnchor anchor) {
  const int column = static_cast<int>(anchor) % 3;  // left, middle, right
  const int row = static_cast<int>(anchor) / 3;     // top, middle, bottom
  const double height = box.ascent + box.descent;
  return {-box.width * column / 2, box.ascent - height * row / 2};
}

std::u32string DecodeUtf8(std::string_view utf8) {
  std::u32string text;
  text.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    // The bytes that follow a lead byte; -1 for a byte that cannot lead.
    int extra = -1;
    if (lead < 0x80) {
      extra = 0;
    } else if (lead >= 0xC2 && lead < 0xE0) {
      extra = 1;
    } else if (lead >= 0xE0 && lead < 0xF0) {
      extra = 2;
    } else if (lead >= 0xF0 && lead < 0xF5) {
      extra = 3;
    }
    if (extra < 0 || utf8.size() - i <= static_cast<std::size_t>(extra)) {
      text.push_back(kReplacement);
      ++i;
      continue;
    }
    char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
    bool valid = true;
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) valid = false;
      c = (c << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past the last plane are not characters.
    const char32_t least[] = {0, 0x80, 0x800, 0x10000};
    if (!valid || c < least[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
      text.push_back(kReplacement);
      ++i;
      continue;
    }
    text.push_back(c);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return text;
}

}  // namespace globeview
