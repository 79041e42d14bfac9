// corvanta-cli firmware FILE: uploads a GCF firmware file and sends the check
// after which the module restarts, printing the status texts the firmware
// window shows. Like the window's two buttons, --upload-only and
// --check-only do one half each. A bad file is refused before any
// connection is made.

#include <cstdio>

#include "app/cli_commands.h"
#include "app/cli_output.h"
#include "app/cli_session.h"
#include "transfer/firmware_upload.h"

namespace corvanta::cli {

namespace {

class PrintingFirmwareView : public FirmwareView {
public:
    void setStatusText(const QString& text) override {
        // Frames are counted only once they really go out: the window sets
        // its bar to the first frame before the login.
        sending_ = text == QString::fromUtf8(firmware_texts::kUploading);
        if (!text.isEmpty()) say(text);
    }
    void setProgressRange(int maximum) override {
        frames_ = maximum + 1;
        shown_ = -1;
    }
    void setProgress(int frame) override {
        // Every 32nd frame: a whole upload in a screenful.
        if (!sending_ || frame == shown_ || (frame % 32 != 0 && frame != frames_ - 1)) return;
        shown_ = frame;
        say(QStringLiteral("Keret %1 / %2").arg(frame + 1).arg(frames_));
    }
    void setOperationRunning(bool) override {}

private:
    int frames_ = 0;
    int shown_ = -1;
    bool sending_ = false;
};

const std::string kFirmwareUsage = "firmware FILE [--upload-only | --check-only]" + linkUsage();

int runFirmware(const Args& args) {
    if (auto e = checkUsage(args, {"--upload-only", "--check-only"}, 1, kFirmwareUsage)) return *e;
    const bool uploadOnly = args.flag("--upload-only"), checkOnly = args.flag("--check-only");
    if (uploadOnly && checkOnly) {
        std::fprintf(stderr, "corvanta-cli: give --upload-only or --check-only, not both\n");
        return ExitUsage;
    }
    const std::string& path = args.positional[0];
    PreparedFirmware firmware;
    QString error;
    if (!FirmwareUpload::readFile(QString::fromStdString(path), firmware, error)) {
        std::fprintf(stderr, "corvanta-cli: %s: %s\n", path.c_str(), error.toUtf8().constData());
        return ExitUsage;
    }
    Session s;
    if (auto exit = openSession(args, s)) return *exit;
    PrintingFirmwareView view;
    FirmwareUpload upload(*s.link, view);
    upload.setFirmware(std::move(firmware));
    // The check only after a complete upload: after a partial one the module
    // would refuse it anyway.
    const bool ok = (checkOnly || upload.upload()) && (uploadOnly || upload.check());
    closeSession(s);
    return ok ? ExitOk : ExitFailed;
}

}  // namespace

std::vector<Command> firmwareCommands() {
    return {{"firmware", kFirmwareUsage, runFirmware,
             "Uploads the GCF file frame by frame, then sends the check frame after which the module\n"
             "restarts with the new firmware. --upload-only stops before the check; --check-only sends\n"
             "only the check frame, for an upload made before.\n"}};
}

}  // namespace corvanta::cli
