#include "output/png_writer.h"

#include <libdeflate.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <stdexcept>

namespace globeview {

namespace {

// Two bits per pixel hold four colours, the designed picture's; four bits hold sixteen, with a
// target's; a map of many layers takes a byte a pixel, up to 256.
constexpr int kFewBits = 2;
constexpr int kManyBits = 4;
constexpr int kMostBits = 8;
constexpr std::size_t kFewColours = std::size_t{1} << kFewBits;
constexpr std::size_t kManyColours = std::size_t{1} << kManyBits;
constexpr std::size_t kMostColours = std::size_t{1} << kMostBits;

int BitsFor(std::size_t colours) {
  if (colours <= kFewColours) return kFewBits;
  return colours <= kManyColours ? kManyBits : kMostBits;
}
constexpr int kMostSide = 1 << 24;
// So that the compressed rows always fit the one IDAT chunk (2^31 - 1 bytes at most).
constexpr double kMostPixels = 0x1p32;
constexpr std::uint8_t kColourTypePalette = 3;
constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
constexpr std::size_t kSignatureSize = 8;
// Length, type and CRC around each chunk's data.
constexpr std::size_t kChunkFrame = 12;
// libdeflate's level by the size of the rows. Its middle level makes a screen's picture smaller
// than zlib's default level does, in a few milliseconds; on small pictures it is not always
// smaller, and there the slower levels cost next to nothing.
struct Level {
  std::size_t mostBytes;
  int level;
};
constexpr Level kLevels[] = {
    {std::size_t{8} << 10, 12}, {std::size_t{128} << 10, 8}, {SIZE_MAX, 6}};

int CompressionLevel(std::size_t rawSize) {
  for (const Level& l : kLevels) {
    if (rawSize <= l.mostBytes) return l.level;
  }
  return kLevels[std::size(kLevels) - 1].level;
}

void PutBigEndian(std::uint8_t* out, std::uint32_t value) {
  out[0] = static_cast<std::uint8_t>(value >> 24);
  out[1] = static_cast<std::uint8_t>(value >> 16);
  out[2] = static_cast<std::uint8_t>(value >> 8);
  out[3] = static_cast<std::uint8_t>(value);
}

// Frames `size` bytes of data already at out + 8 as a chunk of the given type; returns the bytes
// the whole chunk takes.
std::size_t FrameChunk(std::uint8_t* out, const char (&type)[5], std::size_t size) {
  PutBigEndian(out, static_cast<std::uint32_t>(size));
  std::memcpy(out + 4, type, 4);
  PutBigEndian(out + 8 + size, libdeflate_crc32(0, out + 4, size + 4));
  return size + kChunkFrame;
}

struct CompressorDeleter {
  void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

}  // namespace

PalettePicture::PalettePicture(int width, int height, std::vector<Rgb> palette)
    : width_(width),
      height_(height),
      bitsPerPixel_(BitsFor(palette.size())),
      palette_(std::move(palette)) {
  if (width < 1 || height < 1 || width > kMostSide || height > kMostSide ||
      double(width) * height > kMostPixels) {
    throw std::invalid_argument(
        "a picture is 1 to 16777216 pixels wide and high, and 2^32 pixels at most");
  }
  if (palette_.empty() || palette_.size() > kMostColours) {
    throw std::invalid_argument("a palette holds one to 256 colours");
  }
  const int pixelsPerByte = 8 / bitsPerPixel_;
  stride_ = 1 + (width + pixelsPerByte - 1) / pixelsPerByte;
  // Memory from the kernel comes zeroed, so rows that the drawing covers anyway are not cleared
  // twice and the filter bytes are 0 already.
  block_ = PageBlock(FilteredSize());
  rows_ = reinterpret_cast<std::uint8_t*>(block_.Data());
}

PalettePixels PalettePicture::Pixels() {
  PalettePixels pixels{rows_ + 1, stride_,         width_,
                       height_,   palette_.data(), static_cast<int>(palette_.size())};
  pixels.bitsPerPixel = bitsPerPixel_;
  return pixels;
}

int PalettePicture::Index(int x, int y) const {
  const int pixelsPerByte = 8 / bitsPerPixel_;
  const std::uint8_t byte = rows_[y * stride_ + 1 + x / pixelsPerByte];
  return (byte >> (8 - bitsPerPixel_ * (1 + x % pixelsPerByte))) & ((1 << bitsPerPixel_) - 1);
}

std::string EncodePng(const PalettePicture& picture) {
  const std::size_t rawSize = picture.FilteredSize();
  const std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(
      libdeflate_alloc_compressor(CompressionLevel(rawSize)));
  if (!compressor) throw std::bad_alloc();
  const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), rawSize);
  const std::size_t headerSize = 13;
  const std::size_t paletteSize = 3 * picture.Palette().size();

  // Room for the worst case, of which only the compressed size is ever touched.
  const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(
      kSignatureSize + 4 * kChunkFrame + headerSize + paletteSize + bound);
  std::uint8_t* out = buffer.get();
  std::memcpy(out, kSignature, kSignatureSize);
  std::size_t at = kSignatureSize;

  std::uint8_t* header = out + at + 8;
  PutBigEndian(header, static_cast<std::uint32_t>(picture.Width()));
  PutBigEndian(header + 4, static_cast<std::uint32_t>(picture.Height()));
  header[8] = static_cast<std::uint8_t>(picture.BitsPerPixel());
  header[9] = kColourTypePalette;
  header[10] = 0;  // deflate
  header[11] = 0;  // adaptive filtering, each row saying "none"
  header[12] = 0;  // no interlace
  at += FrameChunk(out + at, "IHDR", headerSize);

  std::uint8_t* colours = out + at + 8;
  for (const Rgb& c : picture.Palette()) {
    *colours++ = static_cast<std::uint8_t>(c.r);
    *colours++ = static_cast<std::uint8_t>(c.g);
    *colours++ = static_cast<std::uint8_t>(c.b);
  }
  at += FrameChunk(out + at, "PLTE", paletteSize);

  const std::size_t compressed = libdeflate_zlib_compress(compressor.get(), picture.FilteredRows(),
                                                          rawSize, out + at + 8, bound);
  if (compressed == 0) return {};  // more than libdeflate's own bound: never expected
  at += FrameChunk(out + at, "IDAT", compressed);
  at += FrameChunk(out + at, "IEND", 0);
  return std::string(reinterpret_cast<const char*>(out), at);
}

}  // namespace globeview
