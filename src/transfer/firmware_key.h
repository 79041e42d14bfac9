#pragma once
// Where the key for real modules' firmware files comes from. It is not built
// into the program: the installer sets it, as 16 hexadecimal digits, in
// $CORVANTA_FIRMWARE_KEY or in the first line of "firmware.key" in the
// settings file's folder. The built-in demo key serves the simulated module
// only, and only when asked for by name.

#include <QString>

#include <optional>

#include "transfer/firmware_file.h"

namespace corvanta {

// The key file's place: beside the settings file.
QString firmwareKeyFilePath();

// The installed key; nullopt with *error saying how to set it (or what is
// wrong with the one set).
std::optional<FirmwareKey> installedFirmwareKey(QString* error);

// Reads 16 hexadecimal digits (either case; blanks around them are fine).
std::optional<FirmwareKey> parseFirmwareKey(const QString& text);

}  // namespace corvanta
