#include "support/XwdImage.h"

#include <QtEndian>

namespace {

// The fields of the file header, each a 32-bit big-endian number, in their order.
enum Field
{
    HeaderSize,
    FileVersion,
    PixmapFormat,
    PixmapDepth,
    PixmapWidth,
    PixmapHeight,
    XOffset,
    ByteOrder,
    BitmapUnit,
    BitmapBitOrder,
    BitmapPad,
    BitsPerPixel,
    BytesPerLine,
    VisualClass,
    RedMask,
    GreenMask,
    BlueMask,
    BitsPerRgb,
    ColormapEntries,
    ColorCount,
    FieldCount
};

constexpr quint32 kVersion = 7;
constexpr quint32 kZPixmap = 2;
constexpr quint32 kTrueColor = 4;
constexpr int kColorSize = 12; // one colormap entry: pixel, red, green, blue, flags, pad

int shiftOf(quint32 mask)
{
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

} // namespace

QImage readXwd(const QByteArray& dump)
{
    if (dump.size() < FieldCount * 4)
        return {};
    quint32 header[FieldCount];
    for (int i = 0; i < FieldCount; ++i)
        header[i] = qFromBigEndian<quint32>(dump.constData() + i * 4);
    if (header[FileVersion] != kVersion || header[PixmapFormat] != kZPixmap ||
        header[VisualClass] != kTrueColor || header[BitsPerPixel] != 32 ||
        (header[PixmapDepth] != 24 && header[PixmapDepth] != 32))
        return {};
    const qint64 width = header[PixmapWidth];
    const qint64 height = header[PixmapHeight];
    const qint64 stride = header[BytesPerLine];
    const qint64 offset = qint64(header[HeaderSize]) + qint64(header[ColorCount]) * kColorSize;
    if (width <= 0 || height <= 0 || stride < width * 4 || offset + stride * height > dump.size())
        return {};

    const quint32 masks[3] = {header[RedMask], header[GreenMask], header[BlueMask]};
    const bool bigEndianPixels = header[ByteOrder] != 0;
    QImage image(int(width), int(height), QImage::Format_RGB32);
    for (qint64 y = 0; y < height; ++y) {
        const char* line = dump.constData() + offset + y * stride;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        for (qint64 x = 0; x < width; ++x) {
            const quint32 pixel = bigEndianPixels ? qFromBigEndian<quint32>(line + x * 4)
                                                  : qFromLittleEndian<quint32>(line + x * 4);
            int channel[3];
            for (int c = 0; c < 3; ++c)
                channel[c] = int((pixel & masks[c]) >> shiftOf(masks[c])) & 0xff;
            out[x] = qRgb(channel[0], channel[1], channel[2]);
        }
    }
    return image;
}
