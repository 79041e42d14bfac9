#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/coded_command.h"
#include "link/installer_code.h"
#include "link/line_assembler.h"
#include "link/reply_dispatcher.h"

using namespace corvanta;

TEST(InstallerCode, DigitsAreInvertedAndMissingPositionsAreZero) {
    EXPECT_EQ(encodeInstallerCode("1234"), "EDCB00");
    EXPECT_EQ(encodeInstallerCode("0987654"), "F6789A");
    EXPECT_EQ(encodeInstallerCode(""), "000000");
}

TEST(InstallerCode, LettersInTheFieldContributeNothing) {
    EXPECT_EQ(installerCodeDigits("1a2 b3"), "123");
    EXPECT_EQ(encodeInstallerCode(installerCodeDigits("1a2 b3")), "EDC000");
}

TEST(CodedCommand, WordIsFollowedByTheSixCodeCharacters) {
    EXPECT_EQ(codedCommandLine(coded::Login, "1234"), "RPWDEDCB00");
    EXPECT_EQ(codedCommandLine(coded::AlarmStop, "1234"), "RSTPEDCB00");
    EXPECT_EQ(codedCommandLine(coded::RadioDeleteAll, ""), "DLRF000000");
}

TEST(CodedCommand, TeachChannelCharacterComesBeforeTheCode) {
    EXPECT_EQ(codedCommandLine(128, "9"), "TRF0600000");
    EXPECT_EQ(codedCommandLine(128 + 16, "9"), "TRF@600000");
    EXPECT_EQ(codedCommandLine(163, "9"), "TRFS600000");
}

TEST(CodedCommand, ValuesOutsideTheTableBuildNothing) {
    EXPECT_FALSE(codedCommandLine(10, "1"));
    EXPECT_FALSE(codedCommandLine(127, "1"));
    EXPECT_FALSE(codedCommandLine(164, "1"));
    EXPECT_FALSE(codedCommandLine(255, "1"));
}

namespace {

struct Recorder {
    ReplyDispatcher d;
    std::vector<std::string> log, status, frames;
    int connects = 0;
    Recorder() {
        d.receivers.logTraffic = [this](const std::string& t) { log.push_back(t); };
        d.receivers.statusLine = [this](const std::string& t) { status.push_back(t); };
        d.receivers.statusFrame = [this](const std::string& l) { frames.push_back("S" + l); };
        d.receivers.eventFrame = [this](const std::string& l) { frames.push_back("E" + l); };
        d.receivers.statusMessage = [this](const std::string& l) { frames.push_back("M" + l); };
        d.receivers.radioFrame = [this](const std::string& l) { frames.push_back("R" + l); };
        d.receivers.remoteConnected = [this] { ++connects; };
    }
    void feed(const std::string& s) { d.feedReceived(s); }
};

}  // namespace

TEST(LineAssembly, CrLfAndLfCrBothGiveOneLine) {
    Recorder r;
    r.feed("WROK\r\nCRCOK\n\rOK\r");
    EXPECT_EQ(r.log, (std::vector<std::string>{"WROK", "CRCOK", "OK"}));
}

TEST(LineAssembly, EmptyLinesAreNeitherLoggedNorDispatched) {
    Recorder r;
    r.feed("PWDOK\r\r\r");
    EXPECT_EQ(r.log.size(), 1u);
    EXPECT_EQ(r.status.size(), 1u);
}

TEST(LineAssembly, OverlongLineIsDiscardedAndTheNextLineStillCounts) {
    Recorder r;
    const std::string flood(LineAssembler::kMaxLineLength + 500, 'W');
    r.feed("WROK" + flood.substr(4));  // begins like a reply, must not count as one
    EXPECT_LE(r.d.rxLine().size(), LineAssembler::kMaxLineLength);
    r.feed("\rCRCOK\r");
    EXPECT_FALSE(r.d.flags.writeOk);
    EXPECT_TRUE(r.d.flags.crcOk);
    ASSERT_EQ(r.log.size(), 2u);
    EXPECT_NE(r.log[0].find(std::to_string(flood.size())), std::string::npos);
    EXPECT_EQ(r.log[1], "CRCOK");
}

TEST(LineAssembly, LineAtTheBoundIsStillDispatched) {
    Recorder r;
    r.feed("AT_/" + std::string(LineAssembler::kMaxLineLength - 4, 'x') + "\r");
    ASSERT_EQ(r.frames.size(), 1u);
}

// Chunks are taken a run at a time; wherever the line cuts them, the lines
// are those a byte at a time gives.
TEST(LineAssembly, ChunksCutAnywhereGiveTheLinesOfSingleBytes) {
    const std::string stream = "PWDOK\r\nAT_[1,2\n\r\rWROK" + std::string(LineAssembler::kMaxLineLength + 3, 'W') +
                               "\rCRCOK\rAT_/tail";
    Recorder bytes;
    for (char c : stream) bytes.d.feedReceivedChar(static_cast<std::uint8_t>(c));
    for (std::size_t cut = 0; cut <= stream.size(); cut += 97) {
        Recorder chunks;
        chunks.feed(stream.substr(0, cut));
        chunks.feed(stream.substr(cut));
        EXPECT_EQ(chunks.log, bytes.log) << cut;
        EXPECT_EQ(chunks.d.rxLine(), "AT_/tail") << cut;
    }
}

TEST(LineAssembly, ReceivedBytesAreLoggedAsWindows1250) {
    Recorder r;
    r.feed("AT_/\xE1ll\r");  // "áll"
    EXPECT_EQ(r.log.at(0), "AT_/\xC3\xA1ll");
    EXPECT_EQ(r.frames.at(0), "MAT_/\xE1ll");  // frames stay raw
}

TEST(ReplyDispatch, PrefixMustStartTheLine) {
    Recorder r;
    r.feed("OKAY\r");
    EXPECT_TRUE(r.d.flags.okReceived);
    r.d.flags = {};
    r.feed("XOK\r" "PWDOK\r");
    EXPECT_FALSE(r.d.flags.okReceived);  // "PWDOK" does not count as "OK"
    EXPECT_TRUE(r.d.flags.pwdOk);
    r.d.flags = {};
    r.feed("wrok\r");
    EXPECT_FALSE(r.d.flags.writeOk);
}

TEST(ReplyDispatch, StatusLineFollowsTheLoginAnswers) {
    Recorder r;
    r.feed("PWDERR\rPWDOK\rCONNECT\r");
    EXPECT_EQ(r.status, (std::vector<std::string>{" Hibás telepítői azonosító!", "",
                                                  " Távoli kapcsolat rendben."}));
    EXPECT_EQ(r.connects, 1);
}

TEST(ReplyDispatch, FramesReachTheirReceiversWhole) {
    Recorder r;
    r.feed("AT_[01\rAT_{02\rAT_/03\rAT_<04\rAT_]05\r");
    EXPECT_EQ(r.frames,
              (std::vector<std::string>{"SAT_[01", "EAT_{02", "MAT_/03", "RAT_<04"}));
}

TEST(ReplyDispatch, BlockReplyFillsLastBlock) {
    Recorder r;
    BlockFrame f{};
    f[0] = 0x42;
    sealModuleFrame(f, 5);
    r.feed(blockReplyLine(f) + "\r");
    EXPECT_TRUE(r.d.flags.blockReceived);
    EXPECT_FALSE(r.d.flags.blockRejected);
    EXPECT_EQ(r.d.lastBlock, f);

    // A short, a long and a lower-case reply each raise only the rejection.
    const std::string good = blockReplyLine(f);
    std::string lower = good;
    const std::size_t letter = lower.find_first_of("ABCDEF", 4);
    ASSERT_NE(letter, std::string::npos);
    lower[letter] = static_cast<char>(lower[letter] - 'A' + 'a');  // same value, lower case
    for (const std::string& bad : {good.substr(0, 543), good + "0", lower}) {
        r.d.flags = {};
        r.feed(bad + "\r");
        EXPECT_TRUE(r.d.flags.blockRejected) << bad.size();
        EXPECT_FALSE(r.d.flags.blockReceived) << bad.size();
    }
}

TEST(ReplyDispatch, ALineThatArrivesWhileAReceiverRunsIsNotLost) {
    ReplyDispatcher d;
    d.receivers.statusFrame = [&d](const std::string&) { d.feedReceived("WROK\r"); };
    d.feedReceived("AT_[x\r");
    EXPECT_TRUE(d.flags.writeOk);
}

TEST(ReplyDispatch, BytesReadDuringAReceiverQueueBehindTheRestOfTheirChunk) {
    Recorder r;
    bool nested = false;
    r.d.receivers.statusFrame = [&](const std::string&) {
        if (nested) return;
        nested = true;
        r.feed("OK\rXYZ\r");  // newer bytes, read by a nested event loop
    };
    r.feed("AT_[x\rPWD");
    EXPECT_TRUE(r.d.flags.pwdOk);
    EXPECT_FALSE(r.d.flags.okReceived);
    EXPECT_EQ(r.log, (std::vector<std::string>{"AT_[x", "PWDOK", "XYZ"}));
}
