// Firmware files into frames: what the module receives for a file, and the
// files that must not get as far as an upload.

#include "transfer/firmware_file.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/transfer/firmware_builder.h"

using namespace corvanta;
using namespace corvanta::testing;

namespace {

std::uint16_t big16(const BlockFrame& f, std::size_t at) { return std::uint16_t(f[at] << 8 | f[at + 1]); }
std::uint32_t big32(const BlockFrame& f, std::size_t at) {
    return std::uint32_t(f[at]) << 24 | std::uint32_t(f[at + 1]) << 16 | std::uint32_t(f[at + 2]) << 8 | f[at + 3];
}

PreparedFirmware prepare(const std::string& text) {
    const FirmwareLines read = readFirmwareLines(text);
    EXPECT_EQ(read.error, "");
    return prepareFirmware(read.lines, kDemoFirmwareKey);
}

void expectSealedAt(const BlockFrame& frame, std::uint16_t address) {
    EXPECT_EQ(big16(frame, 264), address);
    EXPECT_EQ(big32(frame, 266), blockChecksum(frame)) << std::hex << address;
}

}  // namespace

TEST(FirmwareFrames, NineLinesFillThreeFramesAndOneGroupSum) {
    const PreparedFirmware fw = prepare(gcfText(9));
    ASSERT_EQ(fw.frames.size(), 3u);
    for (std::size_t j = 0; j < 3; ++j) expectSealedAt(fw.frames[j], std::uint16_t(0x0021 + j));

    for (std::size_t i = 0; i < 9; ++i) {
        const BlockFrame& f = fw.frames[i / 4];
        const std::size_t at = 66 * (i % 4);
        EXPECT_EQ(big16(f, at), addressOf(i)) << i;
        const Payload want = payloadOf(i);
        EXPECT_TRUE(std::equal(want.begin(), want.end(), f.begin() + at + 2)) << "line " << i;
    }
    // The last frame holds one record; its other three slots are blank.
    EXPECT_TRUE(std::all_of(fw.frames[2].begin() + 66, fw.frames[2].begin() + 264,
                            [](std::uint8_t b) { return b == 0xFF; }));

    const BlockFrame& check = fw.checkFrame;
    const std::uint32_t sum =
        blockChecksum(fw.frames[0]) + blockChecksum(fw.frames[1]) + blockChecksum(fw.frames[2]);
    EXPECT_EQ(big16(check, 0), std::uint16_t(sum));
    EXPECT_TRUE(std::all_of(check.begin() + 2, check.begin() + 256, [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(big16(check, 256), 3);
    EXPECT_EQ(std::string(check.begin() + 258, check.begin() + 264), "FIRMW.");
    expectSealedAt(check, 0x0221);
}

TEST(FirmwareFrames, OnlyTheFirst2048LinesAreUsed) {
    // Line 2049 on would not even pass the line check: they are not read.
    const std::string text = gcfText(2048) + "nonsense\r\n" + gcfText(51);
    const FirmwareLines read = readFirmwareLines(text);
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.lines.size(), 2048u);
    const PreparedFirmware fw = prepareFirmware(read.lines, kDemoFirmwareKey);
    ASSERT_EQ(fw.frames.size(), 512u);
    expectSealedAt(fw.frames.back(), 0x0220);
    EXPECT_EQ(big16(fw.checkFrame, 256), 512);
    for (std::size_t g = 0; g < 128; ++g) {
        std::uint32_t sum = 0;
        for (std::size_t j = 4 * g; j < 4 * g + 4; ++j) sum += blockChecksum(fw.frames[j]);
        EXPECT_EQ(big16(fw.checkFrame, 2 * g), std::uint16_t(sum)) << "group " << g;
    }
}

TEST(FirmwareFrames, ALineSeededWithItsOwnIndexGoesOutAsItStands) {
    // Written by hand, not by the builder: the two key streams cancel.
    std::vector<std::string> lines(301, gcfLine(0, 0, 0, payloadOf(0)));
    std::string raw;
    for (int m = 0; m < 64; ++m) raw += hexByte(std::uint8_t(0xF0 - m));
    lines[5] = ":051234" + raw;
    lines[300] = ":2C1234" + raw;  // 300 mod 256 = 0x2C
    const PreparedFirmware fw = prepareFirmware(lines, kDemoFirmwareKey);
    for (std::size_t i : {5u, 300u}) {
        const BlockFrame& f = fw.frames[i / 4];
        const std::size_t at = 66 * (i % 4);
        EXPECT_EQ(big16(f, at), 0x1234);
        for (int m = 0; m < 64; ++m) EXPECT_EQ(f[at + 2 + m], 0xF0 - m) << "line " << i << " byte " << m;
    }
}

TEST(FirmwareFrames, KeyStreamsMatchValuesWorkedOutByHand) {
    // x starts at seed % 16; step k (3..66) adds k + seed / 16 and picks
    // key[x % 8]; with the demo key 5A C3 17 8E 29 F0 64 B1. The picks repeat
    // every 16 steps.
    const std::map<std::uint8_t, std::array<std::uint8_t, 16>> expected = {
        {0x00, {0x8E, 0xB1, 0x29, 0x17, 0xC3, 0xC3, 0x17, 0x29, 0xB1, 0x8E, 0x5A, 0x64, 0xF0, 0xF0, 0x64, 0x5A}},
        {0x10, {0x29, 0xC3, 0xB1, 0x64, 0x64, 0xB1, 0xC3, 0x29, 0x5A, 0xF0, 0x8E, 0x17, 0x17, 0x8E, 0xF0, 0x5A}},
        {0x5B, {0x8E, 0x29, 0x64, 0xC3, 0xF0, 0x17, 0x5A, 0xB1, 0xB1, 0x5A, 0x17, 0xF0, 0xC3, 0x64, 0x29, 0x8E}},
        {0xFF, {0xC3, 0x29, 0x5A, 0xF0, 0x8E, 0x17, 0x17, 0x8E, 0xF0, 0x5A, 0x29, 0xC3, 0xB1, 0x64, 0x64, 0xB1}},
    };
    for (const auto& [seed, first16] : expected) {
        const FirmwareKeyStream stream = firmwareKeyStream(seed, kDemoFirmwareKey);
        for (std::size_t m = 0; m < stream.size(); ++m)
            EXPECT_EQ(stream[m], first16[m % 16]) << "seed " << int(seed) << " byte " << m;
    }
    // Line 1 under seed 5B with all-zero digits carries the two streams'
    // XOR: 8E^29, 29^5A, 64^F0, C3^8E ...
    std::string line = ":5B1234" + std::string(128, '0');
    const PreparedFirmware fw = prepareFirmware({gcfLine(0, 0, 0, payloadOf(0)), line}, kDemoFirmwareKey);
    const std::uint8_t want[] = {0xA7, 0x73, 0x94, 0x4D, 0xE7, 0x00, 0xD4, 0x41};
    EXPECT_TRUE(std::equal(std::begin(want), std::end(want), fw.frames[0].begin() + 66 + 2));
}

TEST(FirmwareFrames, AnySeedCarriesThePayloadAndSeedsReallyScramble) {
    std::vector<std::string> lines;
    for (int seed = 0; seed < 256; ++seed) lines.push_back(gcfLine(lines.size(), std::uint8_t(seed), 0x0100, payloadOf(7)));
    const PreparedFirmware fw = prepareFirmware(lines, kDemoFirmwareKey);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Payload want = payloadOf(7);
        EXPECT_TRUE(std::equal(want.begin(), want.end(), fw.frames[i / 4].begin() + 66 * (i % 4) + 2)) << i;
    }
    // Same line, same payload, different seeds: the files differ.
    EXPECT_NE(gcfLine(9, 1, 0, payloadOf(0)).substr(7), gcfLine(9, 2, 0, payloadOf(0)).substr(7));
}

TEST(FirmwareFileLines, LineEndsOfEveryKindAndNoneAtTheEnd) {
    const std::string a = gcfLine(0, 1, 2, payloadOf(0)), b = gcfLine(1, 3, 4, payloadOf(1));
    for (const std::string& text : {a + "\r\n" + b + "\r\n", a + "\n" + b, a + "\r" + b + "\r"}) {
        const FirmwareLines read = readFirmwareLines(text);
        EXPECT_EQ(read.error, "");
        EXPECT_EQ(read.lines, (std::vector<std::string>{a, b}));
    }
    // Characters past position 135 are not read.
    EXPECT_EQ(readFirmwareLines(a + " ; megjegyzés\r\n").error, "");
    // Blank lines and a Ctrl-Z at the end are no lines; a blank line
    // inside the file is still a damaged line.
    for (const std::string& text : {a + "\r\n" + b + "\r\n\r\n  \r\n", a + "\r\n" + b + "\r\n\x1A",
                                    a + "\n" + b + "\x1A"}) {
        const FirmwareLines read = readFirmwareLines(text);
        EXPECT_EQ(read.error, "");
        EXPECT_EQ(read.lines, (std::vector<std::string>{a, b}));
    }
    EXPECT_EQ(readFirmwareLines(a + "\r\n\r\n" + b).error,
              "A firmware fájl 2. sora hibás: 0 karakter hosszú, legalább 135 kell.");
}

TEST(FirmwareFileLines, BadFilesAreRefusedNamingTheLine) {
    const std::string good = gcfLine(0, 1, 2, payloadOf(0)) + "\r\n";
    EXPECT_EQ(readFirmwareLines("").error, "A firmware fájl üres.");

    const FirmwareLines shortLine = readFirmwareLines(good + good.substr(0, 100) + "\r\n" + good);
    EXPECT_EQ(shortLine.error, "A firmware fájl 2. sora hibás: 100 karakter hosszú, legalább 135 kell.");
    EXPECT_TRUE(shortLine.lines.empty());

    // A blank line in the middle would be sent as a record for address 0000.
    EXPECT_NE(readFirmwareLines(good + "\r\n" + good).error.find(" 2. sora"), std::string::npos);

    std::string lower = good;
    lower[40] = 'a';
    EXPECT_EQ(readFirmwareLines(good + good + lower).error,
              "A firmware fájl 3. sora hibás: a 41. karakter nem hexadecimális számjegy (0-9, A-F).");
    std::string colon = good;
    colon[134] = ':';  // position 135, the last one read
    EXPECT_NE(readFirmwareLines(colon).error.find("135. karakter"), std::string::npos);
    std::string first = good;
    first[0] = 'x';  // position 1 is not read
    EXPECT_EQ(readFirmwareLines(first).error, "");
}

TEST(FirmwareFileLines, DigitPairReadsUpperCaseHexAndNothingElse) {
    EXPECT_EQ(firmwareDigitPair(":A5F0", 2), 0xA5);
    EXPECT_EQ(firmwareDigitPair(":A5F0", 4), 0xF0);
    EXPECT_EQ(firmwareDigitPair(":a5f0", 2), 0x05);  // lower case reads as 0
    EXPECT_EQ(firmwareDigitPair(":A5", 3), 0x50);     // past the end reads as 0
}
