#pragma once

#include <QImage>
#include <string>

namespace zbpg::platform {

// A picture made for the screen as a PNG file that every desktop reads: 8-bit RGB, rows
// unfiltered and stored without compression. A screen-sized picture is written at every logon
// and read once by the desktop; compressing it cost far more time than the larger file costs
// on the disk.
std::string encodeScreenPng(const QImage& picture);

// The picture of a file encodeScreenPng wrote, read without a general decoder: a null image for
// any other PNG (other chunks, filters, compression or pixels), for a damaged layout, and for a
// picture of more than maxImageBytes as RGB32. The checksums are not verified: the file is the
// program's own, replaced only whole, and a desktop reading it verifies them anyway.
QImage decodeScreenPng(const std::string& bytes, std::size_t maxImageBytes);

// The picture of an uncompressed 24-bit BMP file (the temporary bitmap, the rotation's
// converted picture, what other tools write), read without Qt's general decoder: a null image
// for any other file, for one too short for its rows, and for a picture of more than
// maxImageBytes as RGB32.
QImage decodePlainBmp(const std::string& bytes, std::size_t maxImageBytes);

// Replaces the file at path with the picture (see writeFileAtomically), a link there included,
// never followed. False on any failure.
[[nodiscard]] bool writeScreenPicture(const QImage& picture, const std::string& path);

} // namespace zbpg::platform
