// The firmware update against the simulated module in the same process. The
// transfer ticks are fired by hand whenever the link waits, so an 8 s
// time-out passes at once.

#include "transfer/firmware_upload.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <map>

#include "link/messenger.h"
#include "sim/sim_module.h"
#include "sim/sim_transport.h"
#include "tests/transfer/firmware_builder.h"
#include "tests/support/qt_core_app.h"
#include "tests/support/recording_messenger.h"

using namespace corvanta;
namespace t = corvanta::firmware_texts;

namespace {

QString u(const char* text) { return QString::fromUtf8(text); }

class RecordingFirmwareView : public FirmwareView {
public:
    QStringList statuses;
    int maximum = -1;
    std::vector<int> progress;
    bool running = false;
    std::function<void(int)> onProgress;
    void setStatusText(const QString& text) override { statuses << text; }
    void setProgressRange(int m) override { maximum = m; }
    void setProgress(int frame) override {
        progress.push_back(frame);
        if (onProgress) onProgress(frame);
    }
    void setOperationRunning(bool r) override { running = r; }
};

// The simulated module behind a line that spoils the next frame lines of
// chosen blocks (one digit changed, so the module refuses the checksum), and
// counts the frame lines of each block.
class SpoilingLine : public Transport {
public:
    explicit SpoilingLine(sim::SimTransport& inner) : inner_(inner) {
        connect(&inner_, &Transport::readyRead, this, &Transport::readyRead);
    }
    std::map<std::uint16_t, int> spoil;  // block -> frame lines still to spoil
    std::map<std::uint16_t, int> sent;   // block -> frame lines written

    bool open(QString* error) override { return inner_.open(error); }
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }
    QByteArray readAll() override { return inner_.readAll(); }
    QString name() const override { return inner_.name(); }
    bool write(const QByteArray& bytes) override {
        QByteArray out = bytes;
        if (out.size() == qsizetype(kFrameDigits)) {
            const auto block = std::uint16_t(out.mid(2 * kFrameAddressOffset, 4).toUInt(nullptr, 16));
            ++sent[block];
            if (spoil[block] > 0) {
                --spoil[block];
                out[0] = out[0] == '0' ? '1' : '0';
            }
        }
        return inner_.write(out);
    }

private:
    sim::SimTransport& inner_;
};

class FirmwareUploadTest : public ::testing::Test {
protected:
    FirmwareUploadTest() {
        ensureQtCoreApp();
        module = std::make_unique<sim::SimModule>(sim::ModuleSettings{});
        simLine = std::make_unique<sim::SimTransport>(module.get());
        line = std::make_unique<SpoilingLine>(*simLine);
        auto ticks = std::make_unique<ManualTickSource>();
        transferTicks = ticks.get();
        link = std::make_unique<ModuleLink>(std::move(ticks), std::make_unique<ManualTickSource>());
        link->setTransport(line.get());
        link->setMessenger(&messages);
        link->setInstallerCode("1234");
        line->open(nullptr);
        upload = std::make_unique<FirmwareUpload>(*link, view);
        upload->useDemoKey(true);
        QObject::connect(&fastClock, &QTimer::timeout, [this] {
            if (link->waiting()) transferTicks->fire();
        });
        fastClock.start(0);
    }

    QString writeFile(const std::string& text, const char* name = "new.GCF") {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.data(), qsizetype(text.size()));
        return path;
    }
    int framesSent() const {
        int n = 0;
        for (auto [block, count] : line->sent)
            if (block >= kFirstFirmwareBlock && block < kFirmwareCheckBlock) n += count;
        return n;
    }

    QTemporaryDir dir;
    RecordingFirmwareView view;
    corvanta::testing::RecordingMessenger messages;
    std::unique_ptr<sim::SimModule> module;
    std::unique_ptr<sim::SimTransport> simLine;
    std::unique_ptr<SpoilingLine> line;
    ManualTickSource* transferTicks = nullptr;
    std::unique_ptr<ModuleLink> link;
    std::unique_ptr<FirmwareUpload> upload;
    QTimer fastClock;
};

}  // namespace

TEST_F(FirmwareUploadTest, ACorrectUploadIsAcceptedAndTheModuleRestarts) {
    bool restarted = false;
    QObject::connect(module.get(), &sim::SimModule::restarted, [&] { restarted = true; });
    ASSERT_TRUE(upload->loadFile(writeFile(corvanta::testing::gcfText(30))));
    EXPECT_EQ(view.statuses.takeLast(), u(t::kFileOk));

    ASSERT_TRUE(upload->upload());
    EXPECT_EQ(view.statuses, (QStringList{u(t::kUploading), u(t::kUploadOk)}));
    EXPECT_EQ(view.maximum, 7);
    EXPECT_EQ(view.progress, (std::vector<int>{0, 0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(framesSent(), 8);
    EXPECT_FALSE(view.running);
    EXPECT_TRUE(messages.messages.isEmpty());

    view.statuses.clear();
    ASSERT_TRUE(upload->check());
    EXPECT_TRUE(restarted);
    EXPECT_EQ(view.statuses, (QStringList{u(t::kChecking), u(t::kCheckOk)}));
    EXPECT_EQ(messages.messages, QStringList{u(t::kRestarting)});
    EXPECT_EQ(line->sent[kFirmwareCheckBlock], 1);
}

TEST_F(FirmwareUploadTest, ACheckFrameForChangedFramesIsRefused) {
    std::string text = corvanta::testing::gcfText(30);
    ASSERT_TRUE(upload->loadFile(writeFile(text)));
    ASSERT_TRUE(upload->upload());
    // The same file with one payload digit changed: only its check goes out.
    text[200] = text[200] == '0' ? '1' : '0';
    ASSERT_TRUE(upload->loadFile(writeFile(text, "changed.GCF")));
    view.statuses.clear();
    EXPECT_FALSE(upload->check());
    EXPECT_EQ(view.statuses, (QStringList{u(t::kChecking), u(t::kCheckFailed)}));
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(FirmwareUploadTest, FramesAreTriedThreeTimes) {
    ASSERT_TRUE(upload->loadFile(writeFile(corvanta::testing::gcfText(12))));
    line->spoil[0x0022] = 2;  // acknowledged at the third attempt
    ASSERT_TRUE(upload->upload());
    EXPECT_EQ(line->sent[0x0022], 3);
    EXPECT_EQ(framesSent(), 5);
    EXPECT_EQ(view.statuses.last(), u(t::kUploadOk));
    EXPECT_TRUE(upload->check());

    line->sent.clear();
    line->spoil[0x0022] = 3;  // never: the upload ends there
    view.statuses.clear();
    link->setCodeTimerEnabled(true);
    bool codeTimerDuring = true;
    view.onProgress = [&](int) { codeTimerDuring = link->codeTimerEnabled(); };
    EXPECT_FALSE(upload->upload());
    EXPECT_FALSE(codeTimerDuring);
    EXPECT_TRUE(link->codeTimerEnabled());
    EXPECT_EQ(line->sent[0x0022], 3);
    EXPECT_EQ(line->sent.count(0x0023), 0u);
    EXPECT_EQ(view.statuses, (QStringList{u(t::kUploading), u(t::kUploadFailed)}));
    EXPECT_FALSE(view.running);
}

TEST_F(FirmwareUploadTest, StopIsHeardBeforeTheNextFrame) {
    ASSERT_TRUE(upload->loadFile(writeFile(corvanta::testing::gcfText(40))));
    view.onProgress = [this](int frame) {
        if (frame == 3) upload->requestStop();
    };
    EXPECT_FALSE(upload->upload());
    EXPECT_EQ(framesSent(), 3);
    EXPECT_EQ(view.statuses.last(), u(t::kStopped));
    // A new upload starts afresh.
    view.onProgress = nullptr;
    EXPECT_TRUE(upload->upload());
    EXPECT_FALSE(upload->stopRequested());
}

TEST_F(FirmwareUploadTest, RefusedLoginSendsNoFrameAndClaimsNoSuccess) {
    ASSERT_TRUE(upload->loadFile(writeFile(corvanta::testing::gcfText(8))));
    link->setInstallerCode("9999");
    EXPECT_FALSE(upload->upload());
    EXPECT_EQ(messages.messages, QStringList{u(" Hibás telepítői azonosító!")});
    EXPECT_EQ(view.statuses.last(), u(t::kUploadFailed));
    EXPECT_FALSE(upload->check());
    EXPECT_EQ(view.statuses.last(), u(t::kCheckFailed));
    EXPECT_EQ(line->sent.size(), 0u);
    EXPECT_FALSE(messages.messages.contains(u(t::kRestarting)));
}

TEST_F(FirmwareUploadTest, TheKeyIsTheInstalledOneAndTheDemoKeyOnlyWhenAskedFor) {
    const QByteArray settingsBefore = qgetenv("CORVANTA_SETTINGS_FILE");
    qputenv("CORVANTA_SETTINGS_FILE", QFile::encodeName(dir.filePath("settings.ini")));
    qunsetenv("CORVANTA_FIRMWARE_KEY");
    const QString file = writeFile(corvanta::testing::gcfText(5));
    upload->useDemoKey(false);
    EXPECT_FALSE(upload->loadFile(file));
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].contains("CORVANTA_FIRMWARE_KEY"));
    EXPECT_TRUE(messages.messages[0].contains(dir.filePath("firmware.key")));
    EXPECT_FALSE(upload->loaded());

    // The key file beside the settings file, in either case.
    QFile keyFile(dir.filePath("firmware.key"));
    ASSERT_TRUE(keyFile.open(QIODevice::WriteOnly));
    keyFile.write("5ac3178e29f064b1\n");
    keyFile.close();
    ASSERT_TRUE(upload->loadFile(file));
    const PreparedFirmware fromKeyFile = upload->firmware();
    upload->useDemoKey(true);
    ASSERT_TRUE(upload->loadFile(file));
    EXPECT_EQ(upload->firmware().frames, fromKeyFile.frames);
    upload->useDemoKey(false);

    // The environment comes first; a malformed key is named, not used.
    qputenv("CORVANTA_FIRMWARE_KEY", "5AC3178E29F064");
    messages.messages.clear();
    EXPECT_FALSE(upload->loadFile(file));
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].startsWith("A firmware kulcs (CORVANTA_FIRMWARE_KEY)"));
    qunsetenv("CORVANTA_FIRMWARE_KEY");
    qputenv("CORVANTA_SETTINGS_FILE", settingsBefore);
}

TEST_F(FirmwareUploadTest, NothingGoesOutWithoutAGoodFileOrALink) {
    EXPECT_FALSE(upload->upload());
    EXPECT_FALSE(upload->check());
    EXPECT_EQ(messages.messages, (QStringList{u(t::kNoFile), u(t::kNoFile)}));

    // A bad file is refused and the good one loaded before stays.
    ASSERT_TRUE(upload->loadFile(writeFile(corvanta::testing::gcfText(5))));
    const PreparedFirmware before = upload->firmware();
    messages.messages.clear();
    EXPECT_FALSE(upload->loadFile(writeFile(corvanta::testing::gcfText(5).substr(0, 300), "short.GCF")));
    EXPECT_FALSE(upload->loadFile(dir.filePath("missing.GCF")));
    ASSERT_EQ(messages.messages.size(), 2);
    EXPECT_TRUE(messages.messages[0].startsWith(u("A firmware fájl 3. sora hibás")));
    EXPECT_EQ(upload->firmware().checkFrame, before.checkFrame);

    line->close();
    messages.messages.clear();
    EXPECT_FALSE(upload->upload());
    EXPECT_EQ(messages.messages, QStringList{u(" Nincs soros kapcsolat.")});
    EXPECT_EQ(line->sent.size(), 0u);
}
