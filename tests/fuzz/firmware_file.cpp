// Firmware files: a file is taken only when every kept line is whole, and
// then its frames carry each line's address at the line's slot, are sealed at
// their block, and the check frame sums exactly those frames.

#include "tests/fuzz/fuzz_targets.h"
#include "transfer/firmware_file.h"

namespace corvanta::fuzz {

namespace {

std::uint32_t toolChecksum(const BlockFrame& f) {
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 4; ++k) v = v << 8 | f[kFrameChecksumOffset + k];
    return v;
}

std::uint16_t bigEndian16(const BlockFrame& f, std::size_t at) { return std::uint16_t(f[at] << 8 | f[at + 1]); }

}  // namespace

void firmwareFile(Input in) {
    const FirmwareLines read = readFirmwareLines(text(in));
    if (!read.error.empty()) {
        FUZZ_CHECK(read.lines.empty() && isUtf8(read.error));
        return;
    }
    const auto& lines = read.lines;
    FUZZ_CHECK(!lines.empty() && lines.size() <= kFirmwareMaxLines);
    for (const std::string& line : lines) {
        FUZZ_CHECK(line.size() >= kLineLastUsedPos);
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
        for (std::size_t pos = kLineSeedPos; pos <= kLineLastUsedPos; ++pos) {
            const char c = line[pos - 1];
            FUZZ_CHECK((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'));
        }
    }

    const PreparedFirmware fw = prepareFirmware(lines, kDemoFirmwareKey);
    const std::size_t frames = (lines.size() + kFirmwareLinesPerFrame - 1) / kFirmwareLinesPerFrame;
    FUZZ_CHECK(fw.frames.size() == frames);
    for (std::size_t j = 0; j < frames; ++j) {
        const BlockFrame& f = fw.frames[j];
        FUZZ_CHECK(frameAddress(f) == kFirstFirmwareBlock + j);
        FUZZ_CHECK(toolChecksum(f) == blockChecksum(f));
        for (std::size_t slot = 0; slot < kFirmwareLinesPerFrame; ++slot) {
            const std::size_t i = j * kFirmwareLinesPerFrame + slot;
            const std::size_t at = slot * kFirmwareRecordSize;
            if (i < lines.size()) {
                FUZZ_CHECK(f[at] == firmwareDigitPair(lines[i], kLineAddressHighPos));
                FUZZ_CHECK(f[at + 1] == firmwareDigitPair(lines[i], kLineAddressLowPos));
            } else {
                for (std::size_t k = 0; k < kFirmwareRecordSize; ++k) FUZZ_CHECK(f[at + k] == kFirmwareEmptyByte);
            }
        }
    }

    const BlockFrame& check = fw.checkFrame;
    FUZZ_CHECK(frameAddress(check) == kFirmwareCheckBlock);
    FUZZ_CHECK(toolChecksum(check) == blockChecksum(check));
    FUZZ_CHECK(bigEndian16(check, kCheckCountOffset) == frames);
    FUZZ_CHECK(std::string_view(reinterpret_cast<const char*>(&check[kCheckTagOffset]), kCheckTag.size()) == kCheckTag);
    for (std::size_t g = 0; g * kCheckFramesPerGroup < frames; ++g) {
        std::uint32_t sum = 0;
        for (std::size_t j = g * kCheckFramesPerGroup; j < std::min(frames, (g + 1) * kCheckFramesPerGroup); ++j)
            sum += blockChecksum(fw.frames[j]);
        FUZZ_CHECK(bigEndian16(check, 2 * g) == std::uint16_t(sum));
    }
}

}  // namespace corvanta::fuzz
