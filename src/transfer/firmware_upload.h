#pragma once
// The firmware update over the link: loading a GCF file into frames, sending
// the frames one by one (three tries each) and the check frame after which a
// good module restarts with the new firmware. Reported through a
// FirmwareView; messages go through the link's Messenger.

#include <QString>

#include <optional>

#include "link/module_link.h"
#include "transfer/firmware_file.h"

namespace corvanta {

// Status texts, as the installer has always seen them (UTF-8).
namespace firmware_texts {
inline constexpr const char* kFileOk = " Fájl megnyitás rendben.";
inline constexpr const char* kUploading = "Firmware áttöltés...";
inline constexpr const char* kUploadOk = "Az áttöltés sikerült!";
inline constexpr const char* kUploadFailed = "Hiba történt az áttöltés közben!";
inline constexpr const char* kStopped = "Az áttöltés leállítva.";
inline constexpr const char* kChecking = "CRC ellenőrzés...";
inline constexpr const char* kCheckOk = "A CRC ellenőrzés sikerült.";
inline constexpr const char* kCheckFailed = "Hiba történt ellenőrzés közben!";
inline constexpr const char* kRestarting =
    "A firmware ellenőrzés sikerült, az Corvanta modul újraindul, ezért a kapcsolat megszakad!";
// Not one of the module's own texts: upload or check asked for before a file
// was loaded (the check frame would otherwise go out empty, at block 0000).
inline constexpr const char* kNoFile = "Előbb töltsön be egy firmware fájlt!";
}  // namespace firmware_texts

class FirmwareView {
public:
    virtual ~FirmwareView() = default;
    virtual void setStatusText(const QString& text) = 0;
    // The frame being sent, 0 .. maximum.
    virtual void setProgressRange(int maximum) = 0;
    virtual void setProgress(int frame) = 0;
    virtual void setOperationRunning(bool running) = 0;
};

class FirmwareUpload {
public:
    static constexpr int kAttempts = 3;

    FirmwareUpload(ModuleLink& link, FirmwareView& view);

    // Reads and prepares a file under the firmware key. No key, a file that
    // cannot be read or one that holds a bad line is shown in a message and
    // leaves the frames loaded before.
    bool loadFile(const QString& path);
    // The file's frames, or its error text; nothing else is touched.
    static bool readFile(const QString& path, const FirmwareKey& key, PreparedFirmware& out, QString& error);

    // The simulated module's key instead of the installed one (the demo).
    void useDemoKey(bool on) { demoKey_ = on; }
    // The key files are prepared with; nullopt with the message that says
    // how to set it.
    std::optional<FirmwareKey> key(QString* error) const;
    // True when there is a key; otherwise says in a message how to set it.
    bool haveKey();

    // Frames read elsewhere (the command-line tool checks the file before
    // it connects).
    void setFirmware(PreparedFirmware firmware) { firmware_ = std::move(firmware); }
    bool loaded() const { return !firmware_.frames.empty(); }
    const PreparedFirmware& firmware() const { return firmware_; }

    // True when every frame was acknowledged / the module accepted the check.
    bool upload();
    bool check();

    // Heard between frames and attempts; a running wait is not cut short.
    void requestStop() { stopRequested_ = true; }
    bool stopRequested() const { return stopRequested_; }

private:
    // The checks every conversation of the window starts with.
    bool mayStart();
    bool uploadFrames();
    void status(const char* text);
    void message(const QString& text);

    ModuleLink& link_;
    FirmwareView& view_;
    PreparedFirmware firmware_;
    bool stopRequested_ = false;
    bool demoKey_ = false;
};

}  // namespace corvanta
