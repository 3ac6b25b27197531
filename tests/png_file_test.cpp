#include "platform/png_file.h"

#include <gtest/gtest.h>

#include <QImage>

namespace globeview {
namespace {

// An image of `colours` distinct colours in stripes of odd widths, so packed rows end mid-byte.
QImage Striped(int width, int height, int colours) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int c = (x / 3 + y) % colours;
      image.setPixel(x, y, qRgb(c * 15, 255 - c * 15, (c * 77) % 256));
    }
  }
  return image;
}

QImage Decoded(const QByteArray& png) {
  QImage decoded;
  EXPECT_TRUE(decoded.loadFromData(png, "PNG"));
  return decoded.convertToFormat(QImage::Format_RGB32);
}

TEST(PngFileTest, EveryImageReadsBackPixelForPixel) {
  struct Case {
    int width, height, colours;
  };
  // 1, 2 and 4 bits per pixel, each with rows that end inside a byte, and the general encoder.
  const Case cases[] = {{1, 1, 1},    {13, 7, 2},   {9, 5, 3},    {33, 4, 4},  {17, 9, 5},
                        {31, 11, 16}, {31, 11, 17}, {64, 64, 40}, {1920, 3, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.width << "x" << c.height << ", " << c.colours << " colours");
    const QImage image = Striped(c.width, c.height, c.colours);
    EXPECT_EQ(Decoded(EncodePng(image)), image);
  }
}

TEST(PngFileTest, KeepsTransparencyAndOtherFormats) {
  QImage translucent(5, 4, QImage::Format_ARGB32);
  translucent.fill(qRgba(10, 20, 30, 40));
  QImage decoded;
  ASSERT_TRUE(decoded.loadFromData(EncodePng(translucent), "PNG"));
  EXPECT_EQ(decoded.convertToFormat(QImage::Format_ARGB32), translucent);

  const QImage grey = Striped(10, 10, 3).convertToFormat(QImage::Format_Grayscale8);
  EXPECT_EQ(Decoded(EncodePng(grey)), grey.convertToFormat(QImage::Format_RGB32));
}

TEST(PngFileTest, NullImageGivesNothing) {
  EXPECT_TRUE(EncodePng(QImage()).isEmpty());
}

}  // namespace
}  // namespace globeview
