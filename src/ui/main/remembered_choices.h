#pragma once
// What the program remembers of the installer's choices from one run to the
// next, besides the fixed-format settings file (which keeps the port name
// and the modem number as the old program did): the last eight parameter
// files opened or saved, the last port chosen with its title, the kind of
// line last used, the last TCP/IP address and the site last chosen. Kept in
// a file of the program's own, "corvanta/choices.ini" in the folder of the
// settings file ($XDG_CONFIG_HOME, else ~/.config). Every change is written
// at once, through a temporary file renamed into place; a file that cannot
// be read leaves the defaults.

#include <QString>
#include <QStringList>

namespace corvanta {

class RememberedChoices {
public:
    static constexpr int kRecentFiles = 8;
    enum class LineKind { None, Serial, Modem, Tcp };

    // "corvanta/choices.ini" beside the settings file `settingsPath`.
    static QString pathBeside(const QString& settingsPath);

    explicit RememberedChoices(QString path);

    const QString& path() const { return path_; }
    // Reads the file; false (and the defaults kept) when it is missing or
    // cannot be read.
    bool load();
    // The reason the last write failed, empty when it did not.
    const QString& error() const { return error_; }

    // Newest first, at most kRecentFiles, each path once.
    const QStringList& recentFiles() const { return recent_; }
    void addRecentFile(const QString& path);
    void removeRecentFile(const QString& path);

    const QString& portDevice() const { return portDevice_; }
    const QString& portTitle() const { return portTitle_; }
    void setPort(const QString& device, const QString& title);
    LineKind lineKind() const { return lineKind_; }
    void setLineKind(LineKind kind);
    const QString& tcpHost() const { return tcpHost_; }
    void setTcpHost(const QString& host);
    const QString& siteName() const { return siteName_; }
    void setSiteName(const QString& name);

private:
    void save();

    QString path_;
    QString error_;
    QStringList recent_;
    QString portDevice_;
    QString portTitle_;
    LineKind lineKind_ = LineKind::None;
    QString tcpHost_;
    QString siteName_;
};

}  // namespace corvanta
