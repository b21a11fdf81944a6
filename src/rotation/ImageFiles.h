#pragma once

#include "rotation/BmpFile.h"

#include <optional>
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

// The BMP file a picture becomes, as LoadImageFile and saveBitmapFile would write it, with the
// same errors of the picture; nothing for any other extension. A JPEG is decoded straight into
// the rows of the file it becomes, so that a photograph of many megapixels is held once rather
// than as a bitmap and again as its file.
std::optional<std::string> convertedBitmapFile(const std::string& picture);

// Replaces the file with a converted picture; raises "ファイル %s を作成できません" when it cannot.
void writeConvertedFile(const std::string& converted, const std::string& bitmapFile);

// LoadImageFile and saveBitmapFile in one step (convertedBitmapFile, then writeConvertedFile),
// with the same result and errors.
bool convertImageFile(const std::string& picture, const std::string& bitmapFile);

} // namespace zbpg
