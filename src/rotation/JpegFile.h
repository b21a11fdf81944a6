#pragma once

#include "rotation/BmpFile.h"

#include <string>

namespace zbpg {

// The picture a JPEG file holds, decoded at full size with the decoder's most accurate settings
// into a 24-bit bitmap. A file the decoder refuses raises "JPEG エラー #%d" with the decoder's
// message number; so does a picture of more than platform::kMaxPicturePixels. The decoder's
// warnings (a file cut short decodes with the rest left grey) are not shown.
Bitmap decodeJpeg(const std::string& bytes);

// The same picture as the BMP file encodeBmp writes of decodeJpeg's bitmap, each row decoded
// straight into its place in the file, so that a large photograph is held once and never
// copied; the same errors.
std::string decodeJpegToBmpFile(const std::string& bytes);

} // namespace zbpg
