#pragma once
// The files corvanta-cli reads and writes, checked the same way by every
// command: inputs are regular files no larger than a valid one can be,
// outputs are checked before any work starts and replaced only by a complete
// new copy. Each prints its own message ("corvanta-cli: PATH: reason").

#include <QByteArray>

#include <optional>
#include <string>

#include "link/whole_file.h"
#include "params/parameter_image.h"

namespace corvanta::cli {

// Largest values file worth reading: decode prints some 60 KiB.
inline constexpr qint64 kMaxJsonBytes = 1 << 20;

// Before a command does anything: nullopt when `path` can be written, else
// the exit status (ExitUsage: a folder, a FIFO, a device, a missing or
// read-only folder).
std::optional<int> checkOutput(const std::string& path);

// Writes the whole file; ExitOk, else ExitUsage for a bad target and
// ExitFailed for a write that failed on the way (the old file is kept).
// Whatever holds codes is written FileAccess::OwnerOnly.
int writeOutput(const std::string& path, const QByteArray& bytes, FileAccess access);

// Reads a whole input file of at most `maxBytes`; nullopt after the message.
std::optional<QByteArray> readInput(const std::string& path, qint64 maxBytes);

// A parameter file for the command line: exactly the 2048 bytes of an image.
// Anything else (a JPEG, a truncated copy) is refused before it could be
// decoded or sent to a module.
std::optional<ParameterImage> readImageInput(const std::string& path);

}  // namespace corvanta::cli
