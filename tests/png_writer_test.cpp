#include "output/png_writer.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "output/raster_surface.h"

namespace globeview {

void PrintTo(const Rgb& colour, std::ostream* out) {
  *out << "(" << colour.r << ", " << colour.g << ", " << colour.b << ")";
}

namespace {

const std::vector<Rgb> kColours = {{0, 0, 0},     {255, 255, 255}, {155, 155, 155}, {10, 200, 30},
                                   {255, 255, 0}, {255, 128, 0},   {0, 0, 255},     {1, 1, 1},
                                   {2, 2, 2},     {3, 3, 3},       {4, 4, 4},       {5, 5, 5},
                                   {60, 70, 80},  {70, 80, 90},    {80, 90, 100},   {90, 100, 110}};

// A PNG as libpng reads it, in 8-bit RGB: an oracle that shares nothing with the writer.
struct Decoded {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
  Rgb Pixel(int x, int y) const {
    const std::uint8_t* p = &rgb[(std::size_t(y) * width + x) * 3];
    return {p[0], p[1], p[2]};
  }
};

Decoded Decode(const std::string& png) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) {
    ADD_FAILURE() << "libpng: " << image.message;
    return {};
  }
  image.format = PNG_FORMAT_RGB;
  Decoded decoded{int(image.width), int(image.height),
                  std::vector<std::uint8_t>(PNG_IMAGE_SIZE(image))};
  if (!png_image_finish_read(&image, nullptr, decoded.rgb.data(), 0, nullptr)) {
    ADD_FAILURE() << "libpng: " << image.message;
    return {};
  }
  return decoded;
}

// Columns in stripes of three of each palette colour in turn, over the background of colour 0,
// so that packed rows end inside a byte and every index appears.
TEST(PngWriterTest, EveryPictureReadsBackPixelForPixel) {
  const struct {
    int width, height, colours;
  } cases[] = {{1, 1, 1},    {13, 7, 2}, {9, 5, 3},     {33, 4, 4},  {64, 64, 3},
               {1921, 3, 4}, {13, 7, 5}, {1921, 3, 16}, {121, 3, 40}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << ", " << c.colours);
    std::vector<Rgb> palette(kColours.begin(), kColours.begin() + std::min(c.colours, 16));
    for (int k = 16; k < c.colours; ++k) palette.push_back({k, 255 - k, 5 * k});
    PalettePicture picture(c.width, c.height, palette);
    RasterSurface surface(picture.Pixels(), 1);
    surface.BackColor(palette[0]);
    surface.Cls();
    for (int x = 0; x < c.width; ++x) {
      surface.ForeColor(palette[x / 3 % c.colours]);
      surface.Line(float(x), 0, float(x), float(c.height));
    }
    const Decoded decoded = Decode(EncodePng(picture));
    ASSERT_EQ(decoded.width, c.width);
    ASSERT_EQ(decoded.height, c.height);
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        const Rgb want = palette[x / 3 % c.colours];
        ASSERT_EQ(decoded.Pixel(x, y), want) << x << "," << y;
        ASSERT_EQ(picture.Index(x, y), x / 3 % c.colours) << x << "," << y;
      }
    }
  }
}

TEST(PngWriterTest, AColourOutsideThePaletteDrawsAsTheNearest) {
  PalettePicture picture(8, 2, {kColours[0], kColours[1], kColours[2]});
  RasterSurface surface(picture.Pixels(), 1);
  surface.BackColor({20, 20, 20});
  surface.Cls();
  surface.ForeColor({240, 250, 255});
  surface.Line(0, 1, 4, 1);
  surface.ForeColor({140, 160, 150});
  surface.Line(4, 1, 8, 1);
  const std::vector<int> expected = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2};
  std::vector<int> indices;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 8; ++x) indices.push_back(picture.Index(x, y));
  EXPECT_EQ(indices, expected);
}

TEST(PngWriterTest, RejectsPicturesItCannotHold) {
  EXPECT_THROW(PalettePicture(0, 1, kColours), std::invalid_argument);
  EXPECT_THROW(PalettePicture(1, -1, kColours), std::invalid_argument);
  EXPECT_THROW(PalettePicture(1 << 17, 1 << 16, kColours), std::invalid_argument);
  EXPECT_THROW(PalettePicture(1, 1, {}), std::invalid_argument);
  std::vector<Rgb> many(257, Rgb{1, 2, 3});
  EXPECT_THROW(PalettePicture(1, 1, many), std::invalid_argument);
}

}  // namespace
}  // namespace globeview
