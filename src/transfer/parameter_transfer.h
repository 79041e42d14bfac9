#pragma once
// Moves the parameter image between the module, a file and the program:
// read, compare and write of the eight parameter blocks, and the file open
// and save, reported through a TransferView and the link's Messenger.

#include <QString>

#include <array>
#include <optional>
#include <vector>

#include "link/block_frame.h"
#include "link/module_link.h"
#include "params/code_fields.h"
#include "params/image_diff.h"
#include "params/parameter_image.h"
#include "transfer/transfer_recorder.h"
#include "transfer/transfer_view.h"

namespace corvanta {

class ParameterTransfer {
public:
    ParameterTransfer(ModuleLink& link, ParameterImage& image, TransferView& view);

    // Each returns true on full success; a compare that finds a difference
    // returns false. A read replaces the image only when all eight blocks
    // arrived. A write refused by writeRefusal says why and sends nothing.
    // A write is a success only when the module, read back after the
    // commit, holds the image sent (unless verification is off).
    bool read();
    bool compare();
    bool write();

    // Stop: the running read, compare or write ends before anything more is
    // sent; a write is then never committed and the module keeps what it
    // had. Does nothing once a write's commit went out, or when nothing runs.
    void stop();
    bool running() const { return running_; }

    // Whether a write reads the module back after its commit (on unless a
    // script chose to accept the risk).
    void setVerify(bool on) { verify_ = on; }

    // Where the last read, compare or write stopped, for a caller that says
    // it in words (the window's indicators show it in colour).
    struct Failure {
        enum class Step { None, Login, DataVersion, Read, Differs, Write, Commit, Verify, Stopped };
        Step step = Step::None;
        int block = -1;  // 0..7 for Read, Differs, Write and Verify
        ModuleLink::BlockFailure why = ModuleLink::BlockFailure::None;
        // Verify: the blocks the module holds otherwise than sent (empty
        // when a block could not be read back: `block` names it).
        std::vector<int> differing;
    };
    const Failure& failure() const { return failure_; }
    // The outcome line of the last operation (see TransferView::showOutcome).
    const QString& outcome() const { return outcome_; }

    bool openFile(const QString& path);
    bool saveFile(const QString& path);

    // Told of every read, write and file operation; not owned, may be null.
    void setRecorder(TransferRecorder* recorder) { recorder_ = recorder; }

    // The indicators as the last operation left them, one letter a block:
    // S silver, W white, Y yellow, G green, R red.
    QString blockLetters() const;

    // The fields in which the module differs from the image, found by the
    // last compare (before: the module, after: the image). The codes are left
    // out: the module never hands them out. Blocks that could not be read
    // count as equal.
    const ImageDiff& compareChanges() const { return compareChanges_; }
    // The codes in which the module differs from the image, found by the
    // last compare; they count as equal all the same.
    const codes::CodeDifferences& compareCodes() const { return compareCodes_; }

    // The version message shown when the module's data version is not ours.
    static QString dataVersionMessage(int dataVersion);

    // Why the image must not be written to a module, or nothing. An
    // installer code that is not 4 or 6 digits would lock the installer out
    // of the module for good.
    static std::optional<QString> writeRefusal(const ParameterImage& image);

private:
    using Steps = bool (ParameterTransfer::*)();
    bool run(BlockColour startColour, Steps steps, const char* stoppedText);
    bool readSteps();
    bool compareSteps();
    bool writeSteps();
    bool verifySteps();
    // True (and the stop said) when Stop was pressed.
    bool stopped();
    void paint(int from, int to, BlockColour colour);
    void message(const QString& text);
    void showOutcome(const QString& text);
    TransferRecord recordOf(TransferRecord::Operation operation, bool ok, const QString& filePath = {}) const;
    void record(TransferRecord::Operation operation, bool ok, const QString& filePath = {});
    void failed(Failure::Step step, int block = -1);

    ModuleLink& link_;
    ParameterImage& image_;
    TransferView& view_;
    std::array<BlockFrame, kImageBlockCount> staging_{};
    std::array<BlockColour, kImageBlockCount> colours_{};
    TransferRecorder* recorder_ = nullptr;
    bool writeBegan_ = false;
    bool verify_ = true;
    bool running_ = false;
    bool stopRequested_ = false;
    bool committing_ = false;
    const char* stoppedText_ = "";
    ImageDiff compareChanges_;
    codes::CodeDifferences compareCodes_;
    Failure failure_;
    QString outcome_;
};

}  // namespace corvanta
