// The traffic log hides the digits of the codes in the parameter block frames
// and nothing else.

#include "link/traffic_codes.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "link/block_frame.h"

using namespace corvanta;

namespace {

BlockFrame randomFrame(unsigned seed) {
    std::mt19937 rng(seed);
    BlockFrame f{};
    for (std::size_t i = 0; i < kFrameAddressOffset; ++i) f[i] = static_cast<std::uint8_t>(rng());
    return f;
}

// Frame offsets of block 0 that hold a code (each user's three bytes after
// the ten of the name, then the installer code) or give away their sum (the
// checksum).
std::set<std::size_t> maskedOffsetsOfBlockZero() {
    std::set<std::size_t> offsets;
    for (std::size_t u = 0; u < 12; ++u)
        for (std::size_t b = 0; b < 3; ++b) offsets.insert(15 * u + 10 + b);
    for (std::size_t b = 180; b < 183; ++b) offsets.insert(b);
    for (std::size_t b = 266; b < 270; ++b) offsets.insert(b);
    return offsets;
}

// Checks that `shown` is `line` with exactly those bytes' digits masked, the
// frame's digits beginning at `start`.
void expectCodesMasked(const std::string& line, const std::string& shown, std::size_t start) {
    ASSERT_EQ(shown.size(), line.size());
    const auto codes = maskedOffsetsOfBlockZero();
    for (std::size_t i = 0; i < line.size(); ++i) {
        const bool code = i >= start && codes.count((i - start) / 2) != 0;
        if (code)
            EXPECT_EQ(shown[i], '*') << "digit " << i;
        else
            EXPECT_EQ(shown[i], line[i]) << "digit " << i;
    }
}

}  // namespace

TEST(TrafficCodes, ReadReplyAndWriteOfBlockZeroShowEveryCodeDigitAndTheChecksumMaskedAndNothingElse) {
    BlockFrame f = randomFrame(7);
    sealModuleFrame(f, kFirstParameterBlock);
    const std::string reply = blockReplyLine(f);
    expectCodesMasked(reply, maskTrafficCodes(reply), kReadCommand.size());

    BlockFrame sent = randomFrame(8);
    sealFrame(sent, kFirstParameterBlock);
    const std::string digits = frameDigits(sent);
    expectCodesMasked(digits, maskTrafficCodes(digits), 0);

    // The installer code 1234 as the module keeps it (15 - digit a nibble).
    BlockFrame known{};
    known[180] = 0xED;
    known[181] = 0xCB;
    sealModuleFrame(known, kFirstParameterBlock);
    const std::string masked = maskTrafficCodes(blockReplyLine(known));
    EXPECT_EQ(masked.substr(4 + 2 * 180, 6), "******");
    EXPECT_EQ(masked.find("EDCB"), std::string::npos);
}

TEST(TrafficCodes, FramesOfBlocksWithoutCodesComeBackAsTheyAre) {
    for (std::uint16_t address : {std::uint16_t(1), std::uint16_t(7), std::uint16_t(8), kFirstFirmwareBlock,
                                  kFirstEventBlock, kClockBlock, kVersionBlock}) {
        BlockFrame f = randomFrame(address);
        sealModuleFrame(f, address);
        const std::string reply = blockReplyLine(f);
        EXPECT_EQ(maskTrafficCodes(reply), reply) << address;
        sealFrame(f, address);
        EXPECT_EQ(maskTrafficCodes(frameDigits(f)), frameDigits(f)) << address;
    }
}

TEST(TrafficCodes, LinesThatAreNoWholeFrameComeBackAsTheyAre) {
    BlockFrame f = randomFrame(3);
    sealModuleFrame(f, kFirstParameterBlock);
    const std::string reply = blockReplyLine(f);
    const std::string shortReply = reply.substr(0, reply.size() - 1);
    const std::string longReply = reply + "0";
    std::string badAddress = reply;
    badAddress[4 + 2 * kFrameAddressOffset + 1] = 'x';
    std::string otherCommand = reply;
    otherCommand.replace(0, 4, "RDFX");
    for (const std::string& line : {std::string(), std::string("RDFL"), std::string("RDFL0000"), std::string("PWDOK"),
                                    std::string("WRFL"), shortReply, longReply, badAddress, otherCommand,
                                    std::string(kFrameDigits, ' ')})
        EXPECT_EQ(maskTrafficCodes(line), line) << line;

    // A digit damaged in the data leaves the address readable: the codes
    // still do not show.
    std::string damaged = reply;
    damaged[4] = 'g';
    const std::string shown = maskTrafficCodes(damaged);
    EXPECT_EQ(shown[4], 'g');
    EXPECT_EQ(shown.substr(4 + 2 * 180, 6), "******");
}
