#pragma once

#include <QImage>

namespace zbpg::test {

// Every pixel different, so a misplaced copy shows.
inline QImage numberedImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(40 + 20 * x, 100 + 30 * y, 7));
    return image;
}

inline int countPixels(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour ? 1 : 0;
    return count;
}

} // namespace zbpg::test
