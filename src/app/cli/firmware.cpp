// corvanta-cli firmware FILE: uploads a GCF firmware file and sends the check
// after which the module restarts, printing the status texts the firmware
// window shows. Like the window's two buttons, --upload-only and
// --check-only do one half each. A bad file is refused before any
// connection is made.

#include <cstdio>

#include "app/cli/commands.h"
#include "app/cli/output.h"
#include "app/cli/session.h"
#include "transfer/firmware_key.h"
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

const std::string kFirmwareUsage = "firmware FILE [--upload-only | --check-only] [--demo-key]" + linkUsage();

int runFirmware(const Args& args) {
    if (auto e = checkUsage(args, {"--upload-only", "--check-only", "--demo-key"}, 1, kFirmwareUsage)) return *e;
    const bool uploadOnly = args.flag("--upload-only"), checkOnly = args.flag("--check-only");
    if (uploadOnly && checkOnly) {
        std::fprintf(stderr, "corvanta-cli: give --upload-only or --check-only, not both\n");
        return ExitUsage;
    }
    const std::string& path = args.positional[0];
    // No key, no link: a file descrambled with a wrong key must never reach
    // a module. The demo key is only for the simulated one.
    QString error;
    const auto key = args.flag("--demo-key") ? std::optional<FirmwareKey>(kDemoFirmwareKey)
                                             : installedFirmwareKey(&error);
    if (!key) {
        std::fprintf(stderr, "corvanta-cli: %s\n", error.toUtf8().constData());
        return ExitUsage;
    }
    PreparedFirmware firmware;
    if (!FirmwareUpload::readFile(QString::fromStdString(path), *key, firmware, error)) {
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
             "only the check frame, for an upload made before.\n"
             "The files are descrambled with the module's firmware key: CORVANTA_FIRMWARE_KEY (16 hex\n"
             "digits) or the first line of firmware.key beside the settings file. Without one nothing\n"
             "is sent. --demo-key takes the simulated module's key instead (corvanta-sim, --demo).\n"}};
}

}  // namespace corvanta::cli
