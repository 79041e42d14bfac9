#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/aes_block.h"
#include "link/tcp_frame_receiver.h"
#include "link/tcp_frames.h"

using namespace corvanta;

namespace {

AesBlock blockFromHex(const std::string& hex)
{
    AesBlock b{};
    for (std::size_t i = 0; i < b.size(); ++i) b[i] = std::uint8_t(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
    return b;
}

std::string text(const auto& bytes) { return std::string(bytes.begin(), bytes.end()); }

const AesKey kKey = passwordKey("titok");

// Appends one data frame carrying piece to stream.
void addFrame(std::vector<std::uint8_t>& stream, const std::string& piece, const AesKey& key = kKey)
{
    const TcpFrame f = wrapFrame(key, dataPlainBlock(piece, 0x42));
    stream.insert(stream.end(), f.begin(), f.end());
}

}  // namespace

TEST(Aes128Block, MatchesTheStandardsKnownAnswersWhateverKeyCameBefore)
{
    const AesKey key = blockFromHex("000102030405060708090a0b0c0d0e0f");
    const AesBlock plain = blockFromHex("00112233445566778899aabbccddeeff");
    const AesBlock cipher = blockFromHex("69c4e0d86a7b0430d8cdb78070b4c55a");
    EXPECT_EQ(aes128EncryptBlock(key, plain), cipher);
    EXPECT_EQ(aes128DecryptBlock(key, cipher), plain);

    EXPECT_EQ(aes128EncryptBlock(blockFromHex("2b7e151628aed2a6abf7158809cf4f3c"),
                                 blockFromHex("3243f6a8885a308d313198a2e0370734")),
              blockFromHex("3925841d02dc09fbdc118597196a0b32"));
    // A kept key must not outlive a change of key, in either direction.
    EXPECT_EQ(aes128EncryptBlock(key, plain), cipher);
    EXPECT_EQ(aes128DecryptBlock(key, cipher), plain);
}

TEST(PasswordKey, TrimsBlanksAndControlsAndZeroFills)
{
    EXPECT_EQ(passwordKey("      "), AesKey{});
    EXPECT_EQ(passwordKey(""), AesKey{});

    AesKey abc{};
    abc[0] = 'a'; abc[1] = ' '; abc[2] = 'c';
    EXPECT_EQ(passwordKey(" \t a c \r\n"), abc);  // odd counts of blanks before and after

    const AesKey longKey = passwordKey("0123456789ABCDEFGHIJ");
    EXPECT_EQ(std::string(longKey.begin(), longKey.end()), "0123456789ABCDEF");
}

TEST(TcpRandom, DrawsTheSameSequenceInEveryRun)
{
    TcpRandom first, second;
    const std::vector<int> expected{0, 8, 219, 51, 69, 171, 81, 41, 94, 108};
    for (int value : expected) {
        EXPECT_EQ(first.next(), value);
        EXPECT_EQ(second.next(), value);
    }
    for (int i = 0; i < 100000; ++i) ASSERT_LT(first.next(), 255);
}

TEST(PlainBlocks, HelloAndDataBlocksHaveTheirWireLayout)
{
    TcpRandom random;
    EXPECT_EQ(text(helloPlainBlock(random)), "(0008DB3345AB51)");
    // The data blocks draw from the same generator, after the hello.
    EXPECT_EQ(random.next(), 41);

    EXPECT_EQ(text(dataPlainBlock("RPWD\r", 0xAB)), std::string("[ABRPWD\r", 8) + std::string(7, '\0') + "]");
    EXPECT_EQ(text(dataPlainBlock("0123456789AB", 0x00)), "[000123456789AB]");
}

TEST(TakePieces, CutsOutgoingTextIntoTwelveByteStepsAndFlushesOnCr)
{
    std::string pending;
    EXPECT_EQ(takePieces(pending, "RPWD123456\r"), std::vector<std::string>{"RPWD123456\r"});
    EXPECT_TRUE(pending.empty());

    EXPECT_EQ(takePieces(pending, "ABCDEFGHIJKL\r"),
              (std::vector<std::string>{"ABCDEFGHIJKL", "\r"}));
    EXPECT_TRUE(pending.empty());

    // Hex bytes of a block write wait until 12 have gathered or the line ends.
    EXPECT_TRUE(takePieces(pending, "3F").empty());
    EXPECT_EQ(pending, "3F");
    EXPECT_EQ(takePieces(pending, "0123456789"), std::vector<std::string>{"3F0123456789"});  // 12 exactly
    EXPECT_TRUE(pending.empty());
}

TEST(TakePieces, BlockWriteLineLeavesAsFortyFiveFullPiecesAndCr)
{
    std::string pending;
    std::vector<std::string> pieces;
    for (int i = 0; i <= 270; ++i)
        for (auto& p : takePieces(pending, i < 270 ? "A5" : "\r")) pieces.push_back(p);

    ASSERT_EQ(pieces.size(), 46u);
    for (std::size_t i = 0; i < 45; ++i) EXPECT_EQ(pieces[i].size(), 12u);
    EXPECT_EQ(pieces.back(), "\r");
    EXPECT_TRUE(pending.empty());
}

TEST(TcpFrameReceiver, FindsFramesAmongStrayBytesAndSkipsHelloAndForeignBlocks)
{
    std::vector<std::uint8_t> stream{'x'};
    addFrame(stream, "PWDOK\r");
    addFrame(stream, "CRC");
    TcpRandom random;
    const TcpFrame hello = wrapFrame(kKey, helloPlainBlock(random));
    stream.insert(stream.end(), hello.begin(), hello.end());
    addFrame(stream, "PWDERR\r", passwordKey("masik"));
    // One mark wrong is enough to pass a frame over: the wire frame's end
    // mark, or the plain block's close mark.
    TcpFrame noEnd = wrapFrame(kKey, dataPlainBlock("LOST1\r", 0x42));
    noEnd[tcpframe::kEndOffset] = 'x';
    AesBlock noClose = dataPlainBlock("LOST2\r", 0x42);
    noClose[tcpframe::kDataCloseOffset] = '?';
    const TcpFrame wrongClose = wrapFrame(kKey, noClose);
    for (const TcpFrame& f : {noEnd, wrongClose}) stream.insert(stream.end(), f.begin(), f.end());
    addFrame(stream, "OK\r");
    TcpFrameReceiver receiver;
    EXPECT_EQ(text(receiver.feed(stream, kKey)), "PWDOK\rCRCOK\r");
    EXPECT_EQ(receiver.pendingBytes(), 0u);
}

TEST(TcpFrameReceiver, CompletesAFrameSplitAcrossReadsAtAnyPoint)
{
    std::vector<std::uint8_t> stream;
    addFrame(stream, "RDFL0001");
    addFrame(stream, "\r");
    const std::span<const std::uint8_t> all(stream);
    for (std::size_t cut = 1; cut < stream.size(); ++cut) {
        TcpFrameReceiver receiver;
        const std::string first = text(receiver.feed(all.first(cut), kKey));
        EXPECT_EQ(first + text(receiver.feed(all.subspan(cut), kKey)), "RDFL0001\r") << "cut at " << cut;
    }
}
