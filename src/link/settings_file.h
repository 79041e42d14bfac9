#pragma once
// The two settings that outlive a run: the serial port name and the modem
// telephone number. The file "DRAL_CORVANTA_setup.ini" sits in the user's
// configuration folder ($XDG_CONFIG_HOME, else ~/.config);
// $CORVANTA_SETTINGS_FILE names another file instead.

#include <QString>

#include "link/settings_table.h"

namespace corvanta {

class SettingsFile {
public:
    explicit SettingsFile(QString path = defaultPath());

    static QString defaultPath();
    QString path() const { return path_; }

    // Reads the file. On failure (missing, unreadable, corrupt) the phone
    // number is cleared, the port name keeps its value, and *error says why.
    // Cells this program does not use are kept for the next save.
    bool load(QString* error = nullptr);

    // Writes the file through a temporary copy renamed into place, so a
    // failed save leaves the previous file whole. *error:
    // "Cannot Create " + path, and the system's reason on a line of its own.
    bool save(QString* error = nullptr);

    // As stored, possibly empty: SerialTransport::setPortName turns an empty
    // or unusable COM name into "COM1".
    QString portName() const { return portName_; }
    void setPortName(const QString& name) { portName_ = name; }
    QString phoneNumber() const { return phoneNumber_; }
    void setPhoneNumber(const QString& number) { phoneNumber_ = number; }

private:
    QString path_;
    QString portName_ = QStringLiteral("COM1");
    QString phoneNumber_;
    SettingsTable table_;
};

}  // namespace corvanta
