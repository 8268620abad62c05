#pragma once

// Converts a BMP file to a JPEG file with libjpeg, at the given quality (1-100, baseline
// tables not forced). The library's errors come back as a failure with its text; they never
// end the process. The JPEG is written through a temporary name: a failed conversion leaves
// an existing file as it was.

#include <string>

bool ConvertBmpToJpeg(const std::string& bmpPath, const std::string& jpegPath, int quality,
                      std::string* error);
