#include "transfer/firmware_file.h"

#include <algorithm>

#include "params/hex_digits.h"

namespace corvanta {

namespace {

constexpr std::size_t kFirstKeyStep = 3;  // the steps run 3..66

std::string lineError(std::size_t lineNumber, const std::string& what) {
    return "A firmware fájl " + std::to_string(lineNumber) + ". sora hibás: " + what;
}

// Empty text when the line can be used.
std::string checkLine(std::string_view line, std::size_t lineNumber) {
    if (line.size() < kLineLastUsedPos)
        return lineError(lineNumber, std::to_string(line.size()) + " karakter hosszú, legalább " +
                                         std::to_string(kLineLastUsedPos) + " kell.");
    for (std::size_t pos = kLineSeedPos; pos <= kLineLastUsedPos; ++pos)
        if (upperHexValue(line[pos - 1]) < 0)
            return lineError(lineNumber, "a " + std::to_string(pos) +
                                             ". karakter nem hexadecimális számjegy (0-9, A-F).");
    return {};
}

void putBigEndian16(BlockFrame& frame, std::size_t offset, std::uint16_t value) {
    frame[offset] = std::uint8_t(value >> 8);
    frame[offset + 1] = std::uint8_t(value);
}

}  // namespace

FirmwareLines readFirmwareLines(std::string_view text) {
    FirmwareLines out;
    // What ends the file is no line: blank lines, blanks, a Ctrl-Z.
    while (!text.empty() && std::string_view(" \t\r\n\x1A").find(text.back()) != std::string_view::npos)
        text.remove_suffix(1);
    std::size_t start = 0;
    while (start < text.size() && out.lines.size() < kFirmwareMaxLines) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        out.lines.emplace_back(text.substr(start, end - start));
        start = end;
        if (start < text.size() && text[start] == '\r') ++start;
        if (start < text.size() && text[start] == '\n') ++start;
    }
    if (out.lines.empty()) {
        out.error = "A firmware fájl üres.";
        return out;
    }
    for (std::size_t i = 0; i < out.lines.size(); ++i) {
        out.error = checkLine(out.lines[i], i + 1);
        if (!out.error.empty()) {
            out.lines.clear();
            break;
        }
    }
    return out;
}

std::uint8_t firmwareDigitPair(std::string_view line, std::size_t position) {
    auto digit = [&line](std::size_t pos) {
        const int v = pos >= 1 && pos <= line.size() ? upperHexValue(line[pos - 1]) : -1;
        return v < 0 ? 0 : v;
    };
    return std::uint8_t(digit(position) * 16 + digit(position + 1));
}

FirmwareKeyStream firmwareKeyStream(std::uint8_t seed, const FirmwareKey& key) {
    FirmwareKeyStream stream{};
    unsigned x = seed % 16;
    const unsigned h = seed / 16;
    for (std::size_t k = kFirstKeyStep; k < kFirstKeyStep + kFirmwarePayloadBytes; ++k) {
        x = (x + unsigned(k) + h) % 256;
        stream[k - kFirstKeyStep] = key[x % kFirmwareKeySize];
    }
    return stream;
}

PreparedFirmware prepareFirmware(const std::vector<std::string>& lines, const FirmwareKey& key) {
    const std::size_t lineCount = std::min(lines.size(), kFirmwareMaxLines);
    const std::size_t frameCount = (lineCount + kFirmwareLinesPerFrame - 1) / kFirmwareLinesPerFrame;
    PreparedFirmware out;
    BlockFrame blank{};
    std::fill_n(blank.begin(), kFrameAddressOffset, kFirmwareEmptyByte);
    out.frames.assign(frameCount, blank);

    for (std::size_t i = 0; i < lineCount; ++i) {
        const std::string& line = lines[i];
        const FirmwareKeyStream fileKey = firmwareKeyStream(firmwareDigitPair(line, kLineSeedPos), key);
        const FirmwareKeyStream lineKey = firmwareKeyStream(std::uint8_t(i % 256), key);
        auto record = out.frames[i / kFirmwareLinesPerFrame].begin() +
                      std::ptrdiff_t(kFirmwareRecordSize * (i % kFirmwareLinesPerFrame));
        record[0] = firmwareDigitPair(line, kLineAddressHighPos);
        record[1] = firmwareDigitPair(line, kLineAddressLowPos);
        for (std::size_t m = 0; m < kFirmwarePayloadBytes; ++m)
            record[std::ptrdiff_t(kRecordPayloadOffset + m)] =
                firmwareDigitPair(line, kLinePayloadPos + 2 * m) ^ fileKey[m] ^ lineKey[m];
    }

    std::uint32_t groupSum = 0;
    for (std::size_t j = 0; j < frameCount; ++j) {
        sealFrame(out.frames[j], std::uint16_t(kFirstFirmwareBlock + j));
        groupSum += blockChecksum(out.frames[j]);
        if (j % kCheckFramesPerGroup == kCheckFramesPerGroup - 1 || j == frameCount - 1) {
            putBigEndian16(out.checkFrame, 2 * (j / kCheckFramesPerGroup), std::uint16_t(groupSum));
            groupSum = 0;
        }
    }
    putBigEndian16(out.checkFrame, kCheckCountOffset, std::uint16_t(frameCount));
    std::copy(kCheckTag.begin(), kCheckTag.end(), out.checkFrame.begin() + kCheckTagOffset);
    sealFrame(out.checkFrame, kFirmwareCheckBlock);
    return out;
}

}  // namespace corvanta
