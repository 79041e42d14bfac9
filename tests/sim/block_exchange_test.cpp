// Block reads, writes and the commit as the program performs them, checked
// with the program's own frame code so that a mistake on either side shows.

#include <gtest/gtest.h>

#include <cstring>

#include "sim_harness.h"
#include "link/block_frame.h"

namespace corvanta::sim::test {
namespace {

// The program's decoder run over one reply line.
struct Decoded {
    BlockReply reply;
    BlockFrame frame{};
};

Decoded decodeReply(const std::string& line) {
    Decoded d{BlockReply::Rejected};
    d.reply = decodeBlockReply(line, d.frame);
    return d;
}

std::string writeLine(uint16_t address, const uint8_t* data, bool programOrder = true) {
    BlockFrame f{};
    std::memcpy(f.data(), data, 256);
    if (programOrder) corvanta::sealFrame(f, address);
    else corvanta::sealModuleFrame(f, address);
    return frameDigits(f);
}

TEST(BlockReads, NeedALoginWithTheStoredInstallerCode) {
    ModuleHarness h;
    EXPECT_EQ(h.ask("RDFL0000"), std::vector<std::string>{"PWDERR"});
    EXPECT_EQ(h.ask("RPWD" "123456"), std::vector<std::string>{"PWDERR"});
    EXPECT_EQ(h.ask("RPWD" "EDCB"), std::vector<std::string>{}) << "a short code is no command";
    EXPECT_EQ(h.login(), "PWDOK");
    EXPECT_EQ(decodeReply(h.ask("RDFL0000").at(0)).reply, BlockReply::Received);

    // The code is the one in parameter memory, not a fixed one.
    ModuleSettings s;
    s.memory[180] = 0x66;  // 9999
    s.memory[181] = 0x66;
    s.memory[182] = 0x00;
    ModuleHarness other(s);
    EXPECT_EQ(other.ask(std::string("RPWD") + kGoodCode), std::vector<std::string>{"PWDERR"});
    EXPECT_EQ(other.ask("RPWD" "666600"), std::vector<std::string>{"PWDOK"});
}

TEST(BlockReads, AllZeroBlockMatchesTheWorkedExample) {
    ModuleSettings s;
    std::memset(&s.memory[3 * 256], 0, 256);
    ModuleHarness h(s);
    h.login();
    const auto reply = h.ask("RDFL0003");
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(reply[0].size(), 544u);
    EXPECT_EQ(reply[0].substr(4, 528), std::string(528, '0'));
    EXPECT_EQ(reply[0].substr(532), "0003837F0000");
    EXPECT_EQ(decodeReply(reply[0]).reply, BlockReply::Received);
}

TEST(BlockReads, EveryReadableBlockDecodesWithItsOwnAddress) {
    ModuleHarness h;
    h.login();
    for (uint16_t a : {0x0000, 0x0005, 0x0007, 0xF000, 0xF003, 0xFFFE, 0xFFFF}) {
        const auto reply = h.ask(readRequestLine(a));
        ASSERT_EQ(reply.size(), 1u) << a;
        const Decoded d = decodeReply(reply[0]);
        EXPECT_EQ(d.reply, BlockReply::Received) << a;
        EXPECT_EQ(frameAddress(d.frame), a);
    }
    // Parameter blocks carry the memory in order.
    const Decoded b1 = decodeReply(h.ask("RDFL0001")[0]);
    EXPECT_TRUE(std::equal(b1.frame.begin(), b1.frame.begin() + 256, h.module().memory().begin() + 256));
    // Unknown addresses and malformed requests stay unanswered.
    EXPECT_TRUE(h.ask("RDFL0008").empty());
    EXPECT_TRUE(h.ask("RDFL00a1").empty());
    EXPECT_TRUE(h.ask("RDFL000").empty());
}

TEST(BlockReads, VersionBlockCarriesTextAndDataVersion) {
    ModuleSettings s;
    s.dataVersion = 3;
    ModuleHarness h(s);
    h.login();
    const Decoded d = decodeReply(h.ask("RDFLFFFF")[0]);
    ASSERT_EQ(d.reply, BlockReply::Received);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&d.frame[0])).rfind("GSM-Corvanta", 0), 0u);
    EXPECT_STREQ(reinterpret_cast<const char*>(&d.frame[32]), "3");
}

TEST(BlockReads, FaultsDamageOnlyTheNamedBlock) {
    ModuleSettings s;
    std::string error;
    ASSERT_TRUE(addFault("bad-checksum=0001", s.faults, error));
    ASSERT_TRUE(addFault("swapped-checksum=0002", s.faults, error));
    ASSERT_TRUE(addFault("wrong-index=0003", s.faults, error));
    ASSERT_TRUE(addFault("lower-case-hex=0004", s.faults, error));
    ASSERT_TRUE(addFault("no-read-reply=0005", s.faults, error));
    ModuleHarness h(s);
    h.login();
    EXPECT_EQ(decodeReply(h.ask("RDFL0000")[0]).reply, BlockReply::Received);
    EXPECT_EQ(decodeReply(h.ask("RDFL0001")[0]).reply, BlockReply::Rejected);
    EXPECT_EQ(decodeReply(h.ask("RDFL0002")[0]).reply, BlockReply::Rejected);
    const Decoded wrong = decodeReply(h.ask("RDFL0003")[0]);
    EXPECT_EQ(wrong.reply, BlockReply::Received);
    EXPECT_EQ(wrong.frame[265], 4) << "a clean frame with the next block's index";
    EXPECT_EQ(decodeReply(h.ask("RDFL0004")[0]).reply, BlockReply::Rejected);
    EXPECT_TRUE(h.ask("RDFL0005").empty());
}

TEST(BlockWrites, CommitReplacesMemoryOnlyWithAFullCheckedSet) {
    ModuleHarness h;
    h.login();
    ParameterMemory next = h.module().memory();
    for (std::size_t i = 0; i < next.size(); ++i) next[i] = uint8_t(i * 7);

    // A frame sealed the module's way round is refused: the program must
    // send its checksum most significant byte first.
    h.ask("WRFL");
    EXPECT_EQ(h.ask(writeLine(0, &next[0], false)), std::vector<std::string>{"WRFLERR"});

    for (uint16_t n = 0; n < 7; ++n) {
        EXPECT_TRUE(h.ask("WRFL").empty());
        EXPECT_EQ(h.ask(writeLine(n, &next[256 * n])), std::vector<std::string>{"WROK"}) << n;
    }
    const ParameterMemory before = h.module().memory();
    EXPECT_EQ(h.ask("WRACT"), std::vector<std::string>{"CRCERR"}) << "block 7 never came";
    EXPECT_EQ(h.module().memory(), before);

    for (uint16_t n = 0; n < 8; ++n) {
        h.ask("WRFL");
        ASSERT_EQ(h.ask(writeLine(n, &next[256 * n])), std::vector<std::string>{"WROK"});
    }
    EXPECT_EQ(h.module().memory(), before) << "staged, not yet committed";
    EXPECT_EQ(h.ask("WRACT"), std::vector<std::string>{"CRCOK"});
    EXPECT_EQ(h.module().memory(), next);
}

TEST(LineInput, NoiseWithoutALineEndIsDroppedAndTheNextLineServed) {
    ModuleHarness h;
    std::vector<std::size_t> received;  // lengths of the lines the module took in
    QObject::connect(&h.module(), &SimModule::traffic, [&](char direction, const QByteArray& line) {
        if (direction == '<') received.push_back(std::size_t(line.size()));
    });
    const std::string noise(3 * SimModule::kMaxLineLength, 'x');
    EXPECT_EQ(h.ask(noise + "RPWD" + kGoodCode), std::vector<std::string>{});
    EXPECT_EQ(h.login(), "PWDOK");
    EXPECT_EQ(received, std::vector<std::size_t>{10});
}

TEST(BlockWrites, MalformedFrameLinesAreRefused) {
    ModuleHarness h;
    h.login();
    std::string line = writeLine(2, &h.module().memory()[512]);
    std::string lower = line;
    lower[10] = 'a';  // a digit the program never sends
    h.ask("WRFL");
    EXPECT_EQ(h.ask(lower), std::vector<std::string>{"WRFLERR"});
    h.ask("WRFL");
    EXPECT_EQ(h.ask(line.substr(2)), (std::vector<std::string>{"WRFLERR"}));
    // A command in place of the frame line is refused as a frame and still
    // answered as a command.
    h.ask("WRFL");
    EXPECT_EQ(h.ask(std::string("RPWD") + kGoodCode), (std::vector<std::string>{"WRFLERR", "PWDOK"}));
}

TEST(ModuleClock, SetThroughItsBlockAndKeepsRunning) {
    ModuleHarness h;
    h.login();
    uint8_t data[256] = {0, 1, 5, 7, 9};
    h.ask("WRFL");
    EXPECT_EQ(h.ask(writeLine(0xFFFE, data)), std::vector<std::string>{"WROK"});
    Decoded d = decodeReply(h.ask("RDFLFFFE")[0]);
    EXPECT_EQ(std::vector<int>(d.frame.begin(), d.frame.begin() + 5), (std::vector<int>{0, 1, 5, 7, 9}));
    h.advance(61'000);
    h.login();
    d = decodeReply(h.ask("RDFLFFFE")[0]);
    EXPECT_EQ(d.frame[4], 10);

    uint8_t bad[256] = {24, 13, 1, 0, 0};  // month 13
    h.ask("WRFL");
    EXPECT_EQ(h.ask(writeLine(0xFFFE, bad)), std::vector<std::string>{"WRFLERR"});
}

TEST(ModuleFaults, RefuseOrSilenceWritesAsAsked) {
    ModuleSettings s;
    std::string error;
    ASSERT_TRUE(addFault("write-error=0002", s.faults, error));
    ASSERT_TRUE(addFault("no-write-reply=0003", s.faults, error));
    ASSERT_TRUE(addFault("no-crcok", s.faults, error));
    ModuleHarness h(s);
    h.login();
    const ParameterMemory before = h.module().memory();
    for (uint16_t n = 0; n < 8; ++n) {
        h.ask("WRFL");
        const auto r = h.ask(writeLine(n, &before[256 * n]));
        if (n == 2) {
            EXPECT_EQ(r, std::vector<std::string>{"WRFLERR"});
        } else if (n == 3) {
            EXPECT_TRUE(r.empty());
        } else {
            EXPECT_EQ(r, std::vector<std::string>{"WROK"});
        }
    }
    EXPECT_TRUE(h.ask("WRACT").empty());

    ModuleSettings locked;
    ASSERT_TRUE(addFault("pwderr", locked.faults, error));
    ModuleHarness l(locked);
    EXPECT_EQ(l.login(), "PWDERR");
    EXPECT_EQ(l.ask("RDFLFFFF"), std::vector<std::string>{"PWDERR"});
}

TEST(ModuleFaults, ALyingLineRepeatsOrInventsAnswersAndFakesTheCommit) {
    ModuleSettings s;
    std::string error;
    ASSERT_TRUE(addFault("repeat-write-reply=0000", s.faults, error));
    ASSERT_TRUE(addFault("false-write-ok=0001", s.faults, error));
    ASSERT_TRUE(addFault("crcok-without-commit", s.faults, error));
    ModuleHarness h(s);
    h.login();
    const ParameterMemory before = h.module().memory();
    uint8_t changed[256];
    std::memset(changed, 0x5A, sizeof changed);
    EXPECT_TRUE(h.ask("WRFL").empty());
    EXPECT_EQ(h.ask(writeLine(0, changed)), std::vector<std::string>{"WROK"});
    // The repeat comes as soon as the next frame is announced.
    EXPECT_EQ(h.ask("WRFL"), std::vector<std::string>{"WROK"});
    EXPECT_EQ(h.ask(writeLine(1, changed)), std::vector<std::string>{"WROK"});
    for (uint16_t n = 2; n < 8; ++n) {
        h.ask("WRFL");
        h.ask(writeLine(n, changed));
    }
    EXPECT_EQ(h.ask("WRACT"), std::vector<std::string>{"CRCOK"});
    EXPECT_EQ(h.module().memory(), before);

    // The staged blocks are still there: an honest commit takes them, and
    // block 1, never stored, fails it.
    h.module().faults().crcOkWithoutCommit = false;
    EXPECT_EQ(h.ask("WRACT"), std::vector<std::string>{"CRCERR"});
}

TEST(ModuleFaults, UnknownNamesAndValuesAreRefused) {
    Faults f;
    std::string error;
    EXPECT_FALSE(addFault("bad-cheksum", f, error));
    EXPECT_NE(error.find("unknown fault"), std::string::npos);
    EXPECT_FALSE(addFault("bad-checksum=12", f, error));
    EXPECT_FALSE(addFault("pwderr=1", f, error));
    EXPECT_FALSE(addFault("tcp-close-after=0", f, error));
    EXPECT_FALSE(addFault("tcp-close-after", f, error));
    EXPECT_TRUE(addFault("tcp-close-after=5", f, error));
    EXPECT_EQ(f.tcpCloseAfter, 5);
}

TEST(LoginSession, EndsAfterAMinuteOfSilenceOrAWrongCode) {
    ModuleHarness h;
    h.login();
    h.advance(59'000);
    EXPECT_EQ(decodeReply(h.ask("RDFLFFFF").at(0)).reply, BlockReply::Received);
    h.advance(59'000);  // traffic keeps it alive
    EXPECT_EQ(decodeReply(h.ask("RDFLFFFF").at(0)).reply, BlockReply::Received);
    h.advance(61'000);
    EXPECT_EQ(h.ask("RDFLFFFF"), std::vector<std::string>{"PWDERR"});
    h.login();
    h.ask("RPWD" "111100");
    EXPECT_EQ(h.ask("RDFLFFFF"), std::vector<std::string>{"PWDERR"});
}

}  // namespace
}  // namespace corvanta::sim::test
