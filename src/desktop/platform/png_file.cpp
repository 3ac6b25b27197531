#include "platform/png_file.h"

#include <QBuffer>
#include <array>
#include <cstdint>
#include <vector>

namespace globeview {
namespace {

constexpr int kMaxPaletteColours = 16;
constexpr int kZlibLevel = 6;
constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
constexpr std::uint8_t kColourTypePalette = 3;

std::uint32_t Crc32(const char* data, qsizetype size, std::uint32_t crc = 0xffffffffu) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  for (qsizetype i = 0; i < size; ++i) {
    crc = table[(crc ^ static_cast<std::uint8_t>(data[i])) & 0xff] ^ (crc >> 8);
  }
  return crc;
}

void AppendBigEndian(QByteArray& out, std::uint32_t value) {
  out.append(static_cast<char>(value >> 24));
  out.append(static_cast<char>(value >> 16));
  out.append(static_cast<char>(value >> 8));
  out.append(static_cast<char>(value));
}

void AppendChunk(QByteArray& out, const char (&type)[5], const QByteArray& data) {
  AppendBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const qsizetype start = out.size();
  out.append(type, 4);
  out.append(data);
  AppendBigEndian(out, Crc32(out.constData() + start, out.size() - start) ^ 0xffffffffu);
}

QByteArray EncodeWithQt(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  return image.save(&buffer, "PNG") ? bytes : QByteArray();
}

}  // namespace

QByteArray EncodePng(const QImage& image) {
  if (image.isNull()) return {};
  if (image.hasAlphaChannel()) return EncodeWithQt(image);
  const QImage rgb =
      image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
  const int width = rgb.width();
  const int height = rgb.height();

  // Palette index of every pixel, giving up as soon as the image has too many colours.
  std::vector<QRgb> palette;
  std::vector<std::uint8_t> indices(static_cast<std::size_t>(width) * height);
  QRgb lastColour = 0;
  std::uint8_t lastIndex = 0;
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    std::uint8_t* out = indices.data() + static_cast<std::size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      const QRgb colour = row[x];
      if (colour != lastColour || palette.empty()) {
        std::size_t i = 0;
        while (i < palette.size() && palette[i] != colour) ++i;
        if (i == palette.size()) {
          if (palette.size() == kMaxPaletteColours) return EncodeWithQt(image);
          palette.push_back(colour);
        }
        lastColour = colour;
        lastIndex = static_cast<std::uint8_t>(i);
      }
      out[x] = lastIndex;
    }
  }

  const int bitDepth = palette.size() <= 2 ? 1 : palette.size() <= 4 ? 2 : 4;
  const int pixelsPerByte = 8 / bitDepth;
  const int rowBytes = (width + pixelsPerByte - 1) / pixelsPerByte;

  // Each row: filter type 0 (none), then the indices packed from the most significant bit.
  QByteArray raw(static_cast<qsizetype>(rowBytes + 1) * height, '\0');
  for (int y = 0; y < height; ++y) {
    char* out = raw.data() + static_cast<qsizetype>(y) * (rowBytes + 1) + 1;
    const std::uint8_t* in = indices.data() + static_cast<std::size_t>(y) * width;
    for (int x = 0, byte = 0; x < width; ++byte) {
      unsigned packed = 0;
      for (int k = 0; k < pixelsPerByte; ++k, ++x) {
        packed <<= bitDepth;
        if (x < width) packed |= in[x];
      }
      out[byte] = static_cast<char>(packed);
    }
  }
  // qCompress gives a zlib stream behind a 4-byte length of its own.
  const QByteArray compressed = qCompress(raw, kZlibLevel);
  if (compressed.size() <= 4) return {};

  QByteArray header;
  AppendBigEndian(header, static_cast<std::uint32_t>(width));
  AppendBigEndian(header, static_cast<std::uint32_t>(height));
  header.append(static_cast<char>(bitDepth));
  header.append(static_cast<char>(kColourTypePalette));
  header.append(3, '\0');  // deflate, adaptive filtering with filter 0 only, no interlace

  QByteArray colours;
  for (const QRgb colour : palette) {
    colours.append(static_cast<char>(qRed(colour)));
    colours.append(static_cast<char>(qGreen(colour)));
    colours.append(static_cast<char>(qBlue(colour)));
  }

  QByteArray png(kSignature, 8);
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "PLTE", colours);
  AppendChunk(png, "IDAT", compressed.mid(4));
  AppendChunk(png, "IEND", {});
  return png;
}

}  // namespace globeview
