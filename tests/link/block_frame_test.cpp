#include "link/block_frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace corvanta;

namespace {

BlockFrame sampleFrame(unsigned seed) {
    std::mt19937 rng(seed);
    BlockFrame f{};
    for (std::size_t i = 0; i < kFrameChecksumOffset; ++i) f[i] = static_cast<std::uint8_t>(rng());
    return f;
}

std::string zeroBlockReply() {
    BlockFrame f{};
    sealModuleFrame(f, 3);
    return blockReplyLine(f);
}

}  // namespace

TEST(BlockFrameChecksum, AllZeroFrameAtAddressThreeSealsTheWorkedExample) {
    BlockFrame f{};
    std::fill(f.begin() + kFrameChecksumOffset, f.end(), 0xFF);  // a stale checksum goes whole
    sealFrame(f, 3);
    EXPECT_EQ(blockChecksum(f), 32643u);
    const std::string sent = frameDigits(f);
    ASSERT_EQ(sent.size(), 540u);
    EXPECT_EQ(sent.substr(0, 528), std::string(528, '0'));
    EXPECT_EQ(sent.substr(528), "000300007F83");

    const std::string received = zeroBlockReply();
    ASSERT_EQ(received.size(), 544u);
    EXPECT_EQ(received.substr(0, 4), "RDFL");
    EXPECT_EQ(received.substr(4 + 528), "0003837F0000");
}

TEST(BlockFrameChecksum, NeverExceedsTheLargestPossibleSum) {
    BlockFrame f{};
    for (std::size_t i = 0; i < kFrameDataSize; ++i) f[i] = static_cast<std::uint8_t>(~i);
    for (std::size_t i = kFrameDataSize; i < kFrameChecksumOffset; ++i) f[i] = 0xFF;
    EXPECT_EQ(blockChecksum(f), 67830u);
}

TEST(BlockFrameText, ReadRequestCarriesFourUpperCaseDigits) {
    EXPECT_EQ(readRequestLine(0x0003), "RDFL0003");
    EXPECT_EQ(readRequestLine(0xF000), "RDFLF000");
    EXPECT_EQ(readRequestLine(0xFFFE), "RDFLFFFE");
    EXPECT_EQ(readRequestLine(0xFFFF), "RDFLFFFF");
}

TEST(BlockReplyDecoding, ModuleFramesRoundTripIntoLastBlock) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        BlockFrame sent = sampleFrame(seed);
        sealModuleFrame(sent, static_cast<std::uint16_t>(seed));
        BlockFrame last{};
        ASSERT_EQ(decodeBlockReply(blockReplyLine(sent), last), BlockReply::Received) << seed;
        EXPECT_EQ(last, sent);
    }
}

TEST(BlockReplyDecoding, RejectsEveryMalformedReply) {
    const std::string good = zeroBlockReply();
    BlockFrame last{};
    EXPECT_EQ(decodeBlockReply(good.substr(0, 543), last), BlockReply::Rejected);
    EXPECT_EQ(decodeBlockReply(good + "0", last), BlockReply::Rejected);
    EXPECT_EQ(decodeBlockReply("RDFL0003", last), BlockReply::Rejected);
    EXPECT_EQ(decodeBlockReply("RDFL", last), BlockReply::Rejected);

    // The checksum digits "837F" written "837f": the same value, so only the
    // letter's case can make the decoder refuse it.
    std::string lower = good;
    ASSERT_EQ(lower.substr(4 + 532, 4), "837F");
    lower[4 + 535] = 'f';
    EXPECT_EQ(decodeBlockReply(lower, last), BlockReply::Rejected);

    std::string notHex = good;
    notHex[10] = 'G';
    EXPECT_EQ(decodeBlockReply(notHex, last), BlockReply::Rejected);

    // One bad digit of a pair: "1g" let through would be 1 * 16 - 1 = 0x0F,
    // which the checksum agrees with, so only the digit check refuses it.
    BlockFrame f{};
    f[0] = 0x0F;
    sealModuleFrame(f, 3);
    std::string oneBad = blockReplyLine(f);
    oneBad.replace(4, 2, "1g");
    EXPECT_EQ(decodeBlockReply(oneBad, last), BlockReply::Rejected);
}

TEST(BlockReplyDecoding, BigEndianChecksumInAReplyIsRejected) {
    BlockFrame f = sampleFrame(7);
    sealFrame(f, 2);  // the tool's byte order, wrong for a reply
    BlockFrame last{};
    EXPECT_EQ(decodeBlockReply(blockReplyLine(f), last), BlockReply::Rejected);
}

