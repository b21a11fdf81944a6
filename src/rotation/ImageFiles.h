#pragma once

#include "rotation/BmpFile.h"

#include <string>

namespace zbpg {

// The extension of the path's file name (from its last "." to the end, "" when it has none),
// with the letters A to Z lowered and nothing else changed.
std::string lowerFileExtension(const std::string& path);

// True for the pictures the wallpaper rotation can show: ".bmp", ".jpg", ".jpe", ".jpeg" in any
// case of A to Z.
bool isWallpaperImage(const std::string& path);

// Loads a picture by its extension: ".bmp" as a Windows bitmap in its own format, ".jpg",
// ".jpe" and ".jpeg" as a JPEG into 24 bits. False for any other extension, the bitmap
// untouched. Only a regular file is opened; one that is not there, cannot be read or is larger
// than any picture the rotation shows raises "ファイル %s は開けません", a damaged one the
// decoder's error followed by the file's name in brackets.
bool LoadImageFile(const std::string& path, Bitmap& bitmap);

// Writes the bitmap as a BMP file, replacing the file as a whole; raises
// "ファイル %s を作成できません" when it cannot.
void saveBitmapFile(const Bitmap& bitmap, const std::string& path);

// LoadImageFile and saveBitmapFile in one step, with the same result and errors: a JPEG is
// decoded straight into the rows of the file it becomes, so that a photograph of many
// megapixels is held once rather than as a bitmap and again as its file.
bool convertImageFile(const std::string& picture, const std::string& bitmapFile);

} // namespace zbpg
