// Expected pictures of a single-character panel cell, built straight from the dot layout:
// with dot width w and height h the lit dot in column c and row r covers the pixels
// x = 1 + c(w + 1) .. x + w - 1 and y = 1 + r(h + 1) .. y + h - 1; everything else is black.
#pragma once

#include <QColor>
#include <QImage>

#include <string>
#include <string_view>

namespace vr410::test {

inline const QRgb Green = QColor(0, 128, 0).rgb();
inline const QRgb Black = QColor(0, 0, 0).rgb();

// dots: 7 rows of 5, top down, '#' lit, '.' unlit, rows separated by '/'.
inline QImage ExpectedCell(std::string_view picture, int w, int h) {
    std::string dots;
    for (char c : picture) {
        if (c != '/') {
            dots += c;
        }
    }
    QImage image(5 * w + 6, 7 * h + 8, QImage::Format_RGB32);
    image.fill(Black);
    for (int r = 0; r < 7; ++r) {
        for (int c = 0; c < 5; ++c) {
            if (dots[static_cast<size_t>(r * 5 + c)] != '#') {
                continue;
            }
            const int x = 1 + c * (w + 1);
            const int y = 1 + r * (h + 1);
            for (int py = y; py < y + h; ++py) {
                for (int px = x; px < x + w; ++px) {
                    image.setPixel(px, py, Green);
                }
            }
        }
    }
    return image;
}

// The picture a widget shows on screen, in the format of ExpectedCell.
inline QImage Shown(const QImage& picture, int width, int height) {
    return picture.copy(0, 0, width, height).convertToFormat(QImage::Format_RGB32);
}

} // namespace vr410::test
