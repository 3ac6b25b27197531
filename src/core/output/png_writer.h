#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "output/raster_surface.h"
#include "system/pages.h"

namespace globeview {

// A picture of at most 256 colours, held as the rows of a PNG of two bits per pixel (up to four
// colours), four (up to sixteen) or eight (more): each row a filter byte (0, none) and then the
// pixels, four, two or one to a byte. A RasterSurface draws into Pixels(); EncodePng compresses the rows as they are, with no
// copy.
class PalettePicture {
 public:
  // width and height 1 to 2^24, 2^32 pixels at most; palette one to 256 colours
  // (std::invalid_argument otherwise).
  // Every pixel starts as colour 0; the memory is only touched once something is drawn.
  PalettePicture(int width, int height, std::vector<Rgb> palette);
  PalettePicture(const PalettePicture&) = delete;
  PalettePicture& operator=(const PalettePicture&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::vector<Rgb>& Palette() const { return palette_; }
  // 2 for a palette of up to four colours, 4 for up to sixteen, else 8.
  int BitsPerPixel() const { return bitsPerPixel_; }
  // The rows for a RasterSurface; valid while the picture lives.
  PalettePixels Pixels();
  // The palette index of a pixel.
  int Index(int x, int y) const;
  // Every row with its filter byte, as the PNG's image data holds them before compression.
  const std::uint8_t* FilteredRows() const { return rows_; }
  std::size_t FilteredSize() const { return static_cast<std::size_t>(stride_) * height_; }

 private:
  int width_;
  int height_;
  int bitsPerPixel_;
  std::ptrdiff_t stride_;
  std::vector<Rgb> palette_;
  PageBlock block_;
  std::uint8_t* rows_;
};

// The bytes of a PNG file of the picture: its bits per pixel, its palette, the rows compressed as a
// zlib stream by libdeflate. Empty when the rows cannot be compressed; throws std::bad_alloc when
// memory runs out.
std::string EncodePng(const PalettePicture& picture);

}  // namespace globeview
