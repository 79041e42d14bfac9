#pragma once
// Makes firmware files for tests: the lines a file must hold so that given
// payloads reach the module, scrambled under any seed with the demo key.

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "transfer/firmware_file.h"

namespace corvanta::testing {

using Payload = std::array<std::uint8_t, kFirmwarePayloadBytes>;

inline std::string hexByte(std::uint8_t b) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", b);
    return text;
}

// Line `index` (0-based) of a file whose record must carry `address` and
// `payload` in its frame.
inline std::string gcfLine(std::size_t index, std::uint8_t seed, std::uint16_t address,
                           const Payload& payload) {
    const FirmwareKeyStream fileKey = firmwareKeyStream(seed, kDemoFirmwareKey);
    const FirmwareKeyStream lineKey = firmwareKeyStream(std::uint8_t(index % 256), kDemoFirmwareKey);
    std::string line = ":" + hexByte(seed) + hexByte(std::uint8_t(address >> 8)) +
                       hexByte(std::uint8_t(address));
    for (std::size_t m = 0; m < payload.size(); ++m)
        line += hexByte(payload[m] ^ fileKey[m] ^ lineKey[m]);
    return line;
}

// A payload that differs from line to line and byte to byte.
inline Payload payloadOf(std::size_t index) {
    Payload p{};
    for (std::size_t m = 0; m < p.size(); ++m) p[m] = std::uint8_t(index * 31 + m * 7 + 3);
    return p;
}

inline std::uint16_t addressOf(std::size_t index) { return std::uint16_t(0x4000 + 64 * index); }

// A whole file of `count` lines, seeds varying, CR LF line ends.
inline std::string gcfText(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += gcfLine(i, std::uint8_t(i * 37 + 11), addressOf(i), payloadOf(i)) + "\r\n";
    return text;
}

}  // namespace corvanta::testing
