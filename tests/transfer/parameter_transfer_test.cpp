// The parameter transfer against the simulated module in the same process.
// Transfer ticks run a hundred times faster than on the wire, so a 5 s
// time-out takes 50 ms.

#include "transfer/parameter_transfer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <set>

#include "link/messenger.h"
#include "sim/sim_module.h"
#include "sim/sim_transport.h"
#include "tests/link/scripted_line.h"
#include "tests/support/qt_core_app.h"
#include "tests/support/recording_messenger.h"

using namespace corvanta;

namespace {

class RecordingView : public TransferView {
public:
    std::array<BlockColour, 8> colours{};
    int runs = 0;
    bool running = false;
    void paintBlock(int block, BlockColour colour) override { colours.at(block) = colour; }
    void setOperationRunning(bool r) override {
        running = r;
        runs += r;
    }
    std::string row() const {
        std::string s;
        for (BlockColour c : colours) s.push_back("SWYGR"[int(c)]);
        return s;
    }
};

class TransferTest : public ::testing::Test {
protected:
    void start(sim::ModuleSettings settings = {}) {
        ensureQtCoreApp();
        module = std::make_unique<sim::SimModule>(std::move(settings));
        line = std::make_unique<sim::SimTransport>(module.get());
        link = std::make_unique<ModuleLink>(std::make_unique<TimerTickSource>(1),
                                            std::make_unique<ManualTickSource>());
        link->setTransport(line.get());
        link->setMessenger(&messages);
        link->setInstallerCode("1234");
        line->open(nullptr);
        transfer = std::make_unique<ParameterTransfer>(*link, image, view);
    }
    sim::ModuleSettings withFault(const char* fault) {
        sim::ModuleSettings s;
        std::string error;
        EXPECT_TRUE(sim::addFault(fault, s.faults, error)) << error;
        return s;
    }
    ParameterImage moduleImage() const {
        ParameterImage m{};
        std::copy(module->memory().begin(), module->memory().end(), m.begin());
        return m;
    }

    ParameterImage image{};
    RecordingView view;
    corvanta::testing::RecordingMessenger messages;
    std::unique_ptr<sim::SimModule> module;
    std::unique_ptr<sim::SimTransport> line;
    std::unique_ptr<ModuleLink> link;
    std::unique_ptr<ParameterTransfer> transfer;
};

ParameterImage pattern(std::uint8_t seed) {
    ParameterImage p{};
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = std::uint8_t(i * 7 + seed);
    // An installer code a module can be written with: "1234".
    p[180] = 0xED;
    p[181] = 0xCB;
    p[182] = 0x00;
    return p;
}

}  // namespace

TEST_F(TransferTest, ReadCompareWriteRoundTrip) {
    start();
    ASSERT_TRUE(transfer->read());
    EXPECT_EQ(view.row(), "GGGGGGGG");
    EXPECT_EQ(image, moduleImage());
    EXPECT_FALSE(view.running);
    EXPECT_TRUE(link->codeTimerEnabled());

    ASSERT_TRUE(transfer->compare());
    EXPECT_EQ(view.row(), "GGGGGGGG");

    image[300] ^= 0xFF;
    image[2047] = 0x5A;
    ASSERT_TRUE(transfer->write());
    EXPECT_EQ(view.row(), "GGGGGGGG");
    EXPECT_EQ(moduleImage(), image);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(TransferTest, FailedReadLeavesTheImageUntouched) {
    start(withFault("no-read-reply=0005"));
    image = pattern(3);
    EXPECT_FALSE(transfer->read());
    EXPECT_EQ(view.row(), "GGGGGRRR");
    EXPECT_EQ(image, pattern(3));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(TransferTest, EveryKindOfBadBlockReplyFailsTheRead) {
    for (const char* fault : {"bad-checksum=0002", "swapped-checksum=0002", "wrong-index=0002",
                              "lower-case-hex=0002"}) {
        start(withFault(fault));
        image = pattern(1);
        EXPECT_FALSE(transfer->read()) << fault;
        EXPECT_EQ(view.row(), "GGRRRRRR") << fault;
        EXPECT_EQ(image, pattern(1)) << fault;
    }
}

TEST_F(TransferTest, CompareSkipsTheCodesButNotTheNames) {
    start();
    ASSERT_TRUE(transfer->read());
    image[10] ^= 0x11;   // first user's code
    image[182] ^= 0x11;  // installer code
    EXPECT_TRUE(transfer->compare());
    EXPECT_EQ(view.row(), "GGGGGGGG");

    image[0] ^= 0x20;  // first user's name
    EXPECT_FALSE(transfer->compare());
    EXPECT_EQ(view.row(), "RYYYYYYY");
}

TEST_F(TransferTest, CompareNamesTheCodesThatDifferButLetsThemPass) {
    start();
    ASSERT_TRUE(transfer->read());
    ASSERT_TRUE(transfer->compare());
    EXPECT_FALSE(transfer->compareCodes().any());
    image[25] ^= 0x11;   // the second user's code
    image[175] ^= 0x11;  // the twelfth user's
    image[181] ^= 0x11;  // the installer code
    EXPECT_TRUE(transfer->compare());
    EXPECT_EQ(view.row(), "GGGGGGGG");
    EXPECT_TRUE(transfer->compareChanges().equal());
    EXPECT_EQ(transfer->compareCodes().users, (std::vector<int>{1, 11}));
    EXPECT_TRUE(transfer->compareCodes().installer);
    // A compare that reached no block knows nothing of the codes.
    link->setInstallerCode("9999");
    EXPECT_FALSE(transfer->compare());
    EXPECT_FALSE(transfer->compareCodes().any());
}

TEST_F(TransferTest, CompareSkipsExactlyTheUserAndInstallerCodeBytes) {
    start();
    ASSERT_TRUE(transfer->read());
    std::set<std::size_t> codes;
    for (std::size_t u = 0; u < 12; ++u)
        for (std::size_t k = 10; k <= 12; ++k) codes.insert(15 * u + k);
    codes.insert({180, 181, 182});
    ASSERT_EQ(codes.size(), 39u);
    const ParameterImage read = image;
    for (std::size_t offset = 0; offset < 256; ++offset) {
        image = read;
        image[offset] ^= 0x01;
        EXPECT_EQ(transfer->compare(), codes.count(offset) == 1) << "offset " << offset;
    }
    // The same offsets in a later block are compared.
    image = read;
    image[256 + 10] ^= 0x01;
    EXPECT_FALSE(transfer->compare());
    EXPECT_EQ(view.row(), "GRYYYYYY");
}

TEST_F(TransferTest, CompareStopsAtAMissingBlock) {
    start(withFault("no-read-reply=0003"));
    image = moduleImage();
    EXPECT_FALSE(transfer->compare());
    EXPECT_EQ(view.row(), "GGGRYYYY");
}

TEST_F(TransferTest, UnacknowledgedWriteMarksItsBlockAndSendsNothingMore) {
    start(withFault("no-write-reply=0002"));
    const ParameterImage before = moduleImage();
    image = pattern(9);
    EXPECT_FALSE(transfer->write());
    EXPECT_EQ(view.row(), "GGRWWWWW");
    EXPECT_EQ(moduleImage(), before);  // nothing committed
}

TEST_F(TransferTest, RefusedWriteIsWaitedOutAsNoAcknowledgement) {
    start(withFault("write-error=0000"));
    image = pattern(0);
    EXPECT_FALSE(transfer->write());
    EXPECT_EQ(view.row(), "RWWWWWWW");
}

TEST_F(TransferTest, MissingCommitAnswerPaintsEveryBlockRed) {
    start(withFault("no-crcok"));
    const ParameterImage before = moduleImage();
    image = pattern(4);
    EXPECT_FALSE(transfer->write());
    EXPECT_EQ(view.row(), "RRRRRRRR");
    EXPECT_EQ(moduleImage(), before);
}

TEST_F(TransferTest, OtherDataVersionStopsBeforeAnyBlock) {
    sim::ModuleSettings s;
    s.dataVersion = 3;
    start(s);
    image = pattern(2);
    EXPECT_FALSE(transfer->read());
    EXPECT_EQ(view.row(), "WWWWWWWW");
    EXPECT_EQ(image, pattern(2));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0],
              "Ehhez a GSM-Corvanta programverzióhoz másik Corvanta Mirovel program szükséges!"
              "   (CorvantaDataVer=3 , MirovelDataVer=2)");
}

TEST_F(TransferTest, FailedVersionQueryGivesTheVersionMessageWithMinusOne) {
    start(withFault("no-read-reply=FFFF"));
    image = pattern(5);
    EXPECT_FALSE(transfer->write());
    EXPECT_EQ(view.row(), "WWWWWWWW");
    EXPECT_EQ(messages.messages,
              QStringList{
                  "Ehhez a GSM-Corvanta programverzióhoz másik Corvanta Mirovel program szükséges!"
                  "   (CorvantaDataVer=-1 , MirovelDataVer=2)"});
    EXPECT_EQ(image, pattern(5));
    EXPECT_NE(moduleImage(), pattern(5));
}

TEST_F(TransferTest, UnansweredLoginPaintsAllRedAndSaysTheModuleIsSilent) {
    start();
    corvanta::testing::ScriptedLine silent;
    link->setTransport(&silent);
    silent.open(nullptr);
    image = pattern(6);
    EXPECT_FALSE(transfer->read());
    EXPECT_EQ(view.row(), "RRRRRRRR");
    EXPECT_EQ(messages.messages,
              QStringList{
                  "A modul nem válaszol! Állítsa le a riasztási eseményeket és próbálja újra!"});
    EXPECT_EQ(silent.lines, std::vector<std::string>{"RPWDEDCB00"});
    EXPECT_EQ(image, pattern(6));
    EXPECT_TRUE(link->codeTimerEnabled());
}

TEST_F(TransferTest, WrongInstallerCodePaintsAllRedAndSaysWhy) {
    start();
    link->setInstallerCode("9999");
    EXPECT_FALSE(transfer->compare());
    EXPECT_EQ(view.row(), "RRRRRRRR");
    EXPECT_EQ(messages.messages, QStringList{" Hibás telepítői azonosító!"});
    EXPECT_FALSE(view.running);
}

TEST_F(TransferTest, AnImageThatWouldLockTheInstallerOutIsNeverWritten) {
    start();
    corvanta::testing::ScriptedLine line;
    link->setTransport(&line);
    line.open(nullptr);
    image = pattern(0);
    for (std::uint8_t third : {0x00, 0x0F}) {  // "******" and five digits "12340"
        image[180] = third == 0 ? 0 : 0xED;
        image[181] = third == 0 ? 0 : 0xCB;
        image[182] = third;
        messages.messages.clear();
        EXPECT_FALSE(transfer->write());
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_TRUE(messages.messages[0].contains(third == 0 ? "(******)" : "(12340)")) << messages.messages[0].toStdString();
    }
    EXPECT_TRUE(line.lines.empty());
    EXPECT_EQ(view.row(), "SSSSSSSS");
}

TEST_F(TransferTest, WithoutALinkNothingChanges) {
    start();
    line->close();
    EXPECT_FALSE(transfer->read());
    EXPECT_EQ(view.row(), "SSSSSSSS");
    EXPECT_EQ(view.runs, 0);
    EXPECT_EQ(messages.messages, QStringList{" Nincs soros kapcsolat."});
}
