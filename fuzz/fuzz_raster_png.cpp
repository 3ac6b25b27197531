// The rasteriser and the PNG writer: the same drawing into 32-bit rows and into palette rows gives
// the same picture; a line's pixels all lie near the line; the PNG holds the palette rows exactly,
// its checksums right and its image data inflating back (with libdeflate) to the rows.

#include <libdeflate.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "output/png_writer.h"
#include "output/raster_surface.h"

namespace globeview::fuzz {
namespace {

constexpr double kTwips = 15;  // per pixel
const std::vector<Rgb> kPalette = {{0, 0, 0}, {155, 155, 155}, {0, 255, 0}, {255, 255, 255}};

// A coordinate in twips: mostly within a few pictures of the screen, now and then any float at all.
float Coordinate(Input& input) {
  const auto choice = input.Take<std::uint8_t>();
  if (choice < 32) return input.Take<float>();
  return static_cast<float>(input.Take<std::int16_t>() / 16.0 * kTwips);
}

struct Op {
  std::uint8_t kind;  // 0 line, 1 circle, 2 width, 3 colour
  float v[4];
  int colour;
};

std::vector<Op> ReadOps(Input& input) {
  std::vector<Op> ops;
  while (!input.Empty() && ops.size() < 64) {
    Op op{};
    op.kind = input.Take<std::uint8_t>() % 4;
    for (float& v : op.v) v = Coordinate(input);
    op.colour = input.Take<std::uint8_t>() % 4;
    ops.push_back(op);
  }
  return ops;
}

void Draw(DrawingSurface& surface, const std::vector<Op>& ops) {
  surface.BackColor(kPalette[0]);
  surface.Cls();
  for (const Op& op : ops) {
    if (op.kind == 0) surface.Line(op.v[0], op.v[1], op.v[2], op.v[3]);
    if (op.kind == 1) surface.Circle(op.v[0], op.v[1], op.v[2] / 4, kPalette[op.colour]);
    if (op.kind == 2) surface.DrawWidth(op.colour + 1);
    if (op.kind == 3) surface.ForeColor(kPalette[op.colour]);
  }
}

// A one-pixel line alone lights only pixels whose centres lie within a pixel of it.
void CheckNearTheLine(const Op& op, int width, int height) {
  const double x1 = op.v[0] / kTwips, y1 = op.v[1] / kTwips, x2 = op.v[2] / kTwips,
               y2 = op.v[3] / kTwips;
  if (!(std::max({std::abs(x1), std::abs(y1), std::abs(x2), std::abs(y2)}) < 1e5)) return;
  std::vector<std::uint32_t> rows(std::size_t(width) * height);
  RasterSurface surface(
      Rgb32Pixels{reinterpret_cast<std::uint8_t*>(rows.data()), width * 4, width, height}, kTwips);
  surface.BackColor({0, 0, 0});
  surface.Cls();
  surface.ForeColor({255, 255, 255});
  surface.Line(op.v[0], op.v[1], op.v[2], op.v[3]);
  const double dx = x2 - x1, dy = y2 - y1, length2 = dx * dx + dy * dy;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (rows[std::size_t(y) * width + x] != 0xffffffffu) continue;
      const double t =
          length2 > 0 ? std::clamp(((x - x1) * dx + (y - y1) * dy) / length2, 0.0, 1.0) : 0;
      const double distance = std::hypot(x - (x1 + t * dx), y - (y1 + t * dy));
      Check(distance <= 1.0 + 1e-9, "pixel " + std::to_string(x) + "," + std::to_string(y) +
                                        " lit " + std::to_string(distance) + " from its line");
    }
  }
}

std::uint32_t BigEndian(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (int k = 0; k < 4; ++k) v = v << 8 | static_cast<std::uint8_t>(s[at + k]);
  return v;
}

// The PNG's chunks with right checksums, its header the picture's, its image data the rows.
void CheckPng(const std::string& png, const PalettePicture& picture) {
  Check(png.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0, "no PNG signature");
  std::string idat;
  bool ended = false;
  for (std::size_t at = 8; at < png.size();) {
    Check(at + 12 <= png.size(), "a chunk cut short");
    const std::uint32_t length = BigEndian(png, at);
    const std::string type = png.substr(at + 4, 4);
    Check(at + 12 + length <= png.size(), "a chunk longer than the file");
    const std::uint32_t crc = libdeflate_crc32(0, png.data() + at + 4, length + 4);
    Check(crc == BigEndian(png, at + 8 + length), "a wrong checksum in " + type);
    if (type == "IHDR") {
      Check(BigEndian(png, at + 8) == std::uint32_t(picture.Width()) &&
                BigEndian(png, at + 12) == std::uint32_t(picture.Height()) && png[at + 16] == 2 &&
                png[at + 17] == 3,
            "a header other than the picture's");
    }
    if (type == "IDAT") idat.append(png, at + 8, length);
    ended = type == "IEND";
    at += 12 + length;
  }
  Check(ended, "no IEND at the end");
  std::vector<std::uint8_t> rows(picture.FilteredSize());
  libdeflate_decompressor* inflater = libdeflate_alloc_decompressor();
  std::size_t got = 0;
  const auto result = libdeflate_zlib_decompress(inflater, idat.data(), idat.size(), rows.data(),
                                                 rows.size(), &got);
  libdeflate_free_decompressor(inflater);
  Check(result == LIBDEFLATE_SUCCESS && got == rows.size(), "the image data does not inflate");
  Check(std::memcmp(rows.data(), picture.FilteredRows(), rows.size()) == 0,
        "the image data inflates to other rows");
}

}  // namespace
}  // namespace globeview::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace globeview;
  using namespace globeview::fuzz;
  Input input(data, size);
  const int width = 1 + input.Take<std::uint8_t>() % 96,
            height = 1 + input.Take<std::uint8_t>() % 64;
  const std::vector<Op> ops = ReadOps(input);
  if (!ops.empty() && ops[0].kind == 0) CheckNearTheLine(ops[0], width, height);

  PalettePicture picture(width, height, kPalette);
  RasterSurface onPalette(picture.Pixels(), kTwips);
  Draw(onPalette, ops);
  std::vector<std::uint32_t> rows(std::size_t(width) * height);
  RasterSurface onRgb(
      Rgb32Pixels{reinterpret_cast<std::uint8_t*>(rows.data()), width * 4, width, height}, kTwips);
  Draw(onRgb, ops);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb c = kPalette[picture.Index(x, y)];
      const std::uint32_t want = 0xff000000u | std::uint32_t(c.r << 16 | c.g << 8 | c.b);
      Check(rows[std::size_t(y) * width + x] == want, "the two kinds of rows differ");
    }
  }
  CheckPng(EncodePng(picture), picture);
  return 0;
}
