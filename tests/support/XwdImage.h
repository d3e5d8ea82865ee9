#pragma once

// Reads the X Window Dump format that xwd writes: what the X server shows in a window, pixel
// for pixel, as a QImage. Only the true-colour images of today's servers (24 or 32 bits deep,
// 32 bits a pixel) are read; anything else gives a null image.

#include <QByteArray>
#include <QImage>

QImage readXwd(const QByteArray& dump);
