#include "transfer/parameter_transfer.h"

#include <QStringList>

#include <algorithm>

#include "link/link_texts.h"
#include "link/messenger.h"
#include "link/version_block.h"
#include "params/field_codecs.h"
#include "params/field_rules.h"
#include "params/image_layout.h"
#include "transfer/parameter_file.h"

namespace corvanta {

namespace {

constexpr int kBlocks = int(kImageBlockCount);
constexpr std::size_t kCodeBytes = 3;

constexpr const char* kReadStopped = "a beolvasás megszakítva, a kép változatlan";
constexpr const char* kCompareStopped = "az összehasonlítás megszakítva";
constexpr const char* kWriteStopped = "az írás megszakítva, a modul a korábbi adatait tartja";
constexpr const char* kVerified = "Ellenőrzés: a modul a küldött adatokat tartja.";
constexpr const char* kVerifyDiffers =
    "Ellenőrzés: a modul nem a küldött adatokat tartja, eltér: %1. Az írás nem sikerült.";
constexpr const char* kVerifyUnread =
    "Ellenőrzés: a Blokk %1 nem olvasható vissza, nem tudni, mit tart a modul. Az írás nem igazolt.";

// The blocks as the indicators name them: "Blokk 2, Blokk 5".
QString blockNames(const std::vector<int>& blocks) {
    QStringList names;
    for (int n : blocks) names << QStringLiteral("Blokk %1").arg(n + 1);
    return names.join(QStringLiteral(", "));
}

// The module never hands out the user and installer codes it holds, so a
// compare skips them.
bool isCodeByte(std::size_t imageOffset) {
    for (int u = 0; u < kUserCount; ++u) {
        const std::size_t first = layout::userOffset(std::size_t(u)) + layout::kUserCodeRel;
        if (imageOffset >= first && imageOffset < first + kCodeBytes) return true;
    }
    return imageOffset >= layout::kInstallerCode &&
           imageOffset < layout::kInstallerCode + kCodeBytes;
}

}  // namespace

ParameterTransfer::ParameterTransfer(ModuleLink& link, ParameterImage& image, TransferView& view)
    : link_(link), image_(image), view_(view) {}

QString ParameterTransfer::dataVersionMessage(int dataVersion) {
    return QString::fromUtf8(
               "Ehhez a GSM-Corvanta programverzióhoz másik Corvanta Mirovel program szükséges!"
               "   (CorvantaDataVer=") +
           QString::number(dataVersion) + QStringLiteral(" , MirovelDataVer=") +
           QString::number(kProgramDataVersion) + ')';
}

std::optional<QString> ParameterTransfer::writeRefusal(const ParameterImage& image) {
    const std::string code = decodeInvertedCode(image, layout::kInstallerCode);
    if (isAcceptableCode(code, CodeKind::Installer)) return std::nullopt;
    return QString::fromUtf8("A paraméterek telepítői kódja (%1) nem 4 vagy 6 jegyű szám: a modul többé "
                             "nem lenne elérhető vele. Az adatok nem kerültek a modulba.")
        .arg(QString::fromStdString(code));
}

void ParameterTransfer::paint(int from, int to, BlockColour colour) {
    for (int n = from; n < to; ++n) {
        colours_[n] = colour;
        view_.paintBlock(n, colour);
    }
}

QString ParameterTransfer::blockLetters() const {
    QString letters;
    for (BlockColour c : colours_) letters += QLatin1Char("SWYGR"[int(c)]);
    return letters;
}

TransferRecord ParameterTransfer::recordOf(TransferRecord::Operation operation, bool ok,
                                           const QString& filePath) const {
    return {operation, ok, image_, blockLetters(), link_.moduleVersion(), link_.dataVersion(), filePath};
}

void ParameterTransfer::record(TransferRecord::Operation operation, bool ok, const QString& filePath) {
    if (!recorder_) return;
    const QString note = recorder_->record(recordOf(operation, ok, filePath));
    if (!note.isEmpty()) view_.showRecordNote(note);
}

void ParameterTransfer::showOutcome(const QString& text) {
    outcome_ = text;
    view_.showOutcome(text);
}

void ParameterTransfer::stop() {
    if (!running_ || committing_) return;
    stopRequested_ = true;
    // A wait for the module's answer ends now rather than running out.
    link_.stopWait();
}

bool ParameterTransfer::stopped() {
    if (!stopRequested_) return false;
    failure_ = Failure{};
    failure_.step = Failure::Step::Stopped;
    showOutcome(QString::fromUtf8(stoppedText_));
    return true;
}

void ParameterTransfer::failed(Failure::Step step, int block) {
    failure_ = Failure{step, block, link_.blockFailure(), {}};
}

void ParameterTransfer::message(const QString& text) {
    if (link_.messenger()) link_.messenger()->showMessage(text);
}

bool ParameterTransfer::run(BlockColour startColour, Steps steps, const char* stoppedText) {
    if (!link_.linkConnected()) {
        message(QString::fromUtf8(texts::kNoLink));
        return false;
    }
    ModuleLink::Conversation conversation(link_);
    if (!conversation) return false;
    failure_ = Failure{};
    stopRequested_ = false;
    committing_ = false;
    stoppedText_ = stoppedText;
    showOutcome({});
    paint(0, kBlocks, startColour);
    view_.setOperationRunning(true);
    running_ = true;
    view_.setStopEnabled(true);
    bool ok = false;
    if (!link_.installerLogin()) {
        if (!stopped()) {
            failure_.step = Failure::Step::Login;
            paint(0, kBlocks, BlockColour::Red);
            message(link_.loginMessage());
        }
    } else {
        link_.setDataVersion(-1);
        link_.queryModuleVersion();
        const bool halted = stopped();
        if (!halted && link_.dataVersion() != kProgramDataVersion) {
            failure_.step = Failure::Step::DataVersion;
            message(dataVersionMessage(link_.dataVersion()));
        } else if (!halted) {
            ok = (this->*steps)();
        }
    }
    running_ = false;
    committing_ = false;
    view_.setStopEnabled(false);
    view_.setOperationRunning(false);
    return ok;
}

bool ParameterTransfer::read() {
    const bool ok = run(BlockColour::White, &ParameterTransfer::readSteps, kReadStopped);
    if (ok) record(TransferRecord::Operation::Read, true);
    return ok;
}

bool ParameterTransfer::compare() {
    compareChanges_ = {};
    compareCodes_ = {};
    return run(BlockColour::Yellow, &ParameterTransfer::compareSteps, kCompareStopped);
}

bool ParameterTransfer::write() {
    if (auto refusal = writeRefusal(image_)) {
        message(*refusal);
        return false;
    }
    writeBegan_ = false;
    const bool ok = run(BlockColour::White, &ParameterTransfer::writeSteps, kWriteStopped);
    // A write that never sent a block changed nothing in the module.
    if (writeBegan_) record(TransferRecord::Operation::Write, ok);
    return ok;
}

bool ParameterTransfer::readSteps() {
    for (int n = 0; n < kBlocks; ++n) {
        if (!link_.readBlock(std::uint16_t(n), true)) {
            if (stopped()) return false;
            failed(Failure::Step::Read, n);
            paint(n, kBlocks, BlockColour::Red);
            return false;  // the image stays as it was
        }
        paint(n, n + 1, BlockColour::Green);
        staging_[n] = link_.lastBlock();
        if (stopped()) return false;
    }
    for (int n = 0; n < kBlocks; ++n)
        std::copy_n(staging_[n].begin(), kImageBlockSize, image_.begin() + n * kImageBlockSize);
    return true;
}

bool ParameterTransfer::compareSteps() {
    // The module's blocks, for the field list; codes and blocks that do not
    // arrive stay as the image has them.
    ParameterImage module = image_;
    bool differs = false;
    for (int n = 0; n < kBlocks; ++n) {
        if (stopped()) return false;
        if (!link_.readBlock(std::uint16_t(n), true)) {
            if (stopped()) return false;
            if (!differs) {
                failed(Failure::Step::Read, n);
                paint(n, n + 1, BlockColour::Red);
            }
            differs = true;
            break;
        }
        const BlockFrame& block = link_.lastBlock();
        if (n == 0) compareCodes_ = codes::codeDifferences(std::span(block.data(), kImageBlockSize), image_);
        bool blockDiffers = false;
        for (std::size_t k = 0; k < kImageBlockSize; ++k) {
            const std::size_t offset = n * kImageBlockSize + k;
            if (isCodeByte(offset)) continue;
            module[offset] = block[k];
            blockDiffers = blockDiffers || block[k] != image_[offset];
        }
        // The indicators stop at the first difference; the reading goes on
        // only to name the fields that differ.
        if (!differs && blockDiffers) failed(Failure::Step::Differs, n);
        if (!differs) paint(n, n + 1, blockDiffers ? BlockColour::Red : BlockColour::Green);
        differs = differs || blockDiffers;
    }
    compareChanges_ = diff(module, image_);
    return !differs;
}

bool ParameterTransfer::writeSteps() {
    writeBegan_ = true;
    for (int n = 0; n < kBlocks; ++n) {
        BlockFrame& frame = staging_[n];
        frame.fill(0);
        std::copy_n(image_.begin() + n * kImageBlockSize, kImageBlockSize, frame.begin());
        sealFrame(frame, std::uint16_t(n));
    }
    for (int n = 0; n < kBlocks; ++n) {
        if (stopped()) return false;
        if (!link_.writeBlock(staging_[n], ModuleLink::WriteKind::Parameter)) {
            if (stopped()) return false;
            failed(Failure::Step::Write, n);
            // Said plainly: the block that failed turns red, the ones never
            // sent stay white.
            paint(n, n + 1, BlockColour::Red);
            return false;
        }
        paint(n, n + 1, BlockColour::Green);
    }
    if (stopped()) return false;
    // From here the module may take the new image: there is no stopping it,
    // and the attempt is kept before the commit goes out.
    committing_ = true;
    view_.setStopEnabled(false);
    if (recorder_) recorder_->recordAttempt(recordOf(TransferRecord::Operation::Write, false));
    if (!link_.commitWrite()) {
        failed(Failure::Step::Commit);
        paint(0, kBlocks, BlockColour::Red);
        return false;
    }
    return !verify_ || verifySteps();
}

// The module read back after the commit: "CRCOK" alone is no proof, as a
// line that repeats or invents answers can make a write look acknowledged
// while the module took blocks of another image. The indicators keep what
// the sending did; the outcome line says what the module holds.
bool ParameterTransfer::verifySteps() {
    std::vector<int> differing;
    for (int n = 0; n < kBlocks; ++n) {
        if (!link_.readBlock(std::uint16_t(n), true)) {
            failed(Failure::Step::Verify, n);
            showOutcome(QString::fromUtf8(kVerifyUnread).arg(n + 1));
            return false;
        }
        const BlockFrame& held = link_.lastBlock();
        if (!std::equal(held.begin(), held.begin() + kImageBlockSize, staging_[n].begin())) differing.push_back(n);
    }
    if (differing.empty()) {
        showOutcome(QString::fromUtf8(kVerified));
        return true;
    }
    failure_ = Failure{Failure::Step::Verify, differing.front(), ModuleLink::BlockFailure::None, differing};
    showOutcome(QString::fromUtf8(kVerifyDiffers).arg(blockNames(differing)));
    return false;
}

bool ParameterTransfer::openFile(const QString& path) {
    paint(0, kBlocks, BlockColour::Silver);
    if (auto error = loadParameterFile(path, image_)) {
        message(*error);
        return false;
    }
    paint(0, kBlocks, BlockColour::Green);
    record(TransferRecord::Operation::OpenFile, true, path);
    return true;
}

bool ParameterTransfer::saveFile(const QString& path) {
    if (auto error = saveParameterFile(path, image_)) {
        message(*error);
        return false;
    }
    record(TransferRecord::Operation::SaveFile, true, path);
    return true;
}

}  // namespace corvanta
