#pragma once
// The parameter file: the 2048-byte image byte for byte, nothing else.

#include <QString>

#include <optional>

#include "params/parameter_image.h"

namespace corvanta {

// Reads the first 2048 bytes of the file into image; a longer file is
// accepted, a FIFO or a device is not. The image changes only when all 2048
// bytes were read. Returns the error text to show ("File not found", "File
// access denied", "Read beyond end of file", then the path and the reason on
// a line of their own), or nothing on success.
std::optional<QString> loadParameterFile(const QString& path, ParameterImage& image);

// Writes the image through a temporary file renamed into place, so a failed
// save leaves the old file as it was. The file is the owner's alone: it holds
// every code. Errors: "Disk full" or "File access
// denied", then the path and the system's reason.
std::optional<QString> saveParameterFile(const QString& path, const ParameterImage& image);

}  // namespace corvanta
