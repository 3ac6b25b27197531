#pragma once

#include <QByteArray>
#include <QImage>

namespace globeview {

// Encodes an image as PNG. A picture of the globe holds only a few colours (black, white, the grey
// of the rings), so such an image is written as a palette PNG of 1, 2 or 4 bits per pixel without
// row filters: several times faster than the general encoder, and lossless. An image of more than
// 16 colours, or with transparency, goes through Qt's own PNG writer. Returns an empty array when encoding fails.
QByteArray EncodePng(const QImage& image);

}  // namespace globeview
