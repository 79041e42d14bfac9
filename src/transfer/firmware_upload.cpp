#include "transfer/firmware_upload.h"

#include "link/link_texts.h"
#include "link/messenger.h"
#include "link/whole_file.h"
#include "transfer/firmware_key.h"

namespace corvanta {

namespace t = firmware_texts;

FirmwareUpload::FirmwareUpload(ModuleLink& link, FirmwareView& view) : link_(link), view_(view) {}

void FirmwareUpload::status(const char* text) { view_.setStatusText(QString::fromUtf8(text)); }

void FirmwareUpload::message(const QString& text) {
    if (link_.messenger()) link_.messenger()->showMessage(text);
}

bool FirmwareUpload::readFile(const QString& path, const FirmwareKey& key, PreparedFirmware& out,
                              QString& error) {
    // 2048 lines of some 140 characters are used; later lines are allowed
    // and ignored, so the bound leaves room, but /dev/zero is no file.
    constexpr qint64 kMaxFileBytes = 4 << 20;
    QByteArray text;
    if (auto failure = readWholeFile(path, kMaxFileBytes, text)) {
        error = failure->describe();
        return false;
    }
    const FirmwareLines read = readFirmwareLines(std::string_view(text.constData(), std::size_t(text.size())));
    if (!read.error.empty()) {
        error = QString::fromStdString(read.error);
        return false;
    }
    out = prepareFirmware(read.lines, key);
    return true;
}

std::optional<FirmwareKey> FirmwareUpload::key(QString* error) const {
    if (demoKey_) return kDemoFirmwareKey;
    return installedFirmwareKey(error);
}

bool FirmwareUpload::haveKey() {
    QString error;
    if (key(&error)) return true;
    message(error);
    return false;
}

bool FirmwareUpload::loadFile(const QString& path) {
    PreparedFirmware next;
    QString error;
    const auto firmwareKey = key(&error);
    if (!firmwareKey || !readFile(path, *firmwareKey, next, error)) {
        message(error);
        return false;
    }
    firmware_ = std::move(next);
    status(t::kFileOk);
    return true;
}

bool FirmwareUpload::mayStart() {
    if (!link_.linkConnected()) {
        message(QString::fromUtf8(texts::kNoLink));
        return false;
    }
    if (!loaded()) {
        message(QString::fromUtf8(t::kNoFile));
        return false;
    }
    return true;
}

bool FirmwareUpload::upload() {
    if (!mayStart()) return false;
    ModuleLink::Conversation conversation(link_);
    if (!conversation) return false;
    view_.setProgressRange(int(firmware_.frames.size()) - 1);
    view_.setProgress(0);
    view_.setOperationRunning(true);
    stopRequested_ = false;
    bool ok = false;
    if (!link_.installerLogin()) {
        message(link_.loginMessage());
        status(t::kUploadFailed);
    } else {
        status(t::kUploading);
        ok = uploadFrames();
        // A frame that failed three times is said so: the in-progress text
        // would otherwise stay up as if the upload were still running.
        status(stopRequested_ ? t::kStopped : ok ? t::kUploadOk : t::kUploadFailed);
    }
    view_.setOperationRunning(false);
    return ok && !stopRequested_;
}

bool FirmwareUpload::uploadFrames() {
    const int count = int(firmware_.frames.size());
    for (int j = 0; j < count; ++j) {
        if (stopRequested_) return false;
        view_.setProgress(j);
        bool acknowledged = false;
        for (int attempt = 0; attempt < kAttempts && !acknowledged; ++attempt) {
            if (stopRequested_) return false;
            acknowledged = link_.writeBlock(firmware_.frames[std::size_t(j)],
                                            ModuleLink::WriteKind::Firmware);
        }
        if (!acknowledged) return false;
    }
    return true;
}

bool FirmwareUpload::check() {
    if (!mayStart()) return false;
    ModuleLink::Conversation conversation(link_);
    if (!conversation) return false;
    view_.setOperationRunning(true);
    stopRequested_ = false;
    bool ok = false;
    if (!link_.installerLogin()) {
        message(link_.loginMessage());
        status(t::kCheckFailed);
    } else {
        status(t::kChecking);
        ReplyFlags& f = link_.flags();
        f.blockReceived = false;
        f.blockRejected = false;
        f.firmwareOk = false;
        // Sent once, without retry; only "FIRMWAREOK" counts, not "WROK".
        link_.sendCommand(std::string(kWriteCommand));
        link_.sendRaw(QByteArray::fromStdString(frameDigits(firmware_.checkFrame)));
        f.firmwareOk = false;
        link_.sendLineEnd();
        ok = link_.waitFor(ModuleLink::kWriteTicks, [&f] { return f.firmwareOk; });
        if (ok) {
            status(t::kCheckOk);
            message(QString::fromUtf8(t::kRestarting));
        } else {
            status(t::kCheckFailed);  // rather than "CRC ellenőrzés..." left standing
        }
    }
    view_.setOperationRunning(false);
    return ok;
}

}  // namespace corvanta
