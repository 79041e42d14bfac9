#include "ui/main/remembered_choices.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace corvanta {

namespace {

const char* lineKindName(RememberedChoices::LineKind kind) {
    switch (kind) {
    case RememberedChoices::LineKind::Serial: return "serial";
    case RememberedChoices::LineKind::Modem: return "modem";
    case RememberedChoices::LineKind::Tcp: return "tcp";
    case RememberedChoices::LineKind::None: break;
    }
    return "";
}

RememberedChoices::LineKind lineKindOf(const QString& name) {
    using K = RememberedChoices::LineKind;
    for (K k : {K::Serial, K::Modem, K::Tcp})
        if (name == QLatin1String(lineKindName(k))) return k;
    return K::None;
}

}  // namespace

QString RememberedChoices::pathBeside(const QString& settingsPath) {
    return QFileInfo(settingsPath).absoluteDir().filePath(QStringLiteral("corvanta/choices.ini"));
}

RememberedChoices::RememberedChoices(QString path) : path_(std::move(path)) {}

bool RememberedChoices::load() {
    if (!QFileInfo(path_).isFile()) return false;
    QSettings file(path_, QSettings::IniFormat);
    if (file.status() != QSettings::NoError) return false;
    QStringList recent;
    for (const QString& p : file.value(QStringLiteral("files/recent")).toStringList())
        if (!p.isEmpty() && !recent.contains(p) && recent.size() < kRecentFiles) recent << p;
    recent_ = recent;
    portDevice_ = file.value(QStringLiteral("link/port")).toString();
    portTitle_ = file.value(QStringLiteral("link/portTitle")).toString();
    lineKind_ = lineKindOf(file.value(QStringLiteral("link/kind")).toString());
    tcpHost_ = file.value(QStringLiteral("link/tcpHost")).toString();
    siteName_ = file.value(QStringLiteral("site/name")).toString();
    return true;
}

void RememberedChoices::save() {
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSettings file(path_, QSettings::IniFormat);
    file.setValue(QStringLiteral("files/recent"), recent_);
    file.setValue(QStringLiteral("link/port"), portDevice_);
    file.setValue(QStringLiteral("link/portTitle"), portTitle_);
    file.setValue(QStringLiteral("link/kind"), QString::fromLatin1(lineKindName(lineKind_)));
    file.setValue(QStringLiteral("link/tcpHost"), tcpHost_);
    file.setValue(QStringLiteral("site/name"), siteName_);
    file.sync();
    error_ = file.status() == QSettings::NoError ? QString() : QStringLiteral("Cannot Create ") + path_;
}

void RememberedChoices::addRecentFile(const QString& path) {
    if (path.isEmpty()) return;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    recent_.removeAll(absolute);
    recent_.prepend(absolute);
    while (recent_.size() > kRecentFiles) recent_.removeLast();
    save();
}

void RememberedChoices::removeRecentFile(const QString& path) {
    if (recent_.removeAll(QFileInfo(path).absoluteFilePath()) > 0) save();
}

void RememberedChoices::setPort(const QString& device, const QString& title) {
    if (device == portDevice_ && title == portTitle_) return;
    portDevice_ = device;
    portTitle_ = title;
    save();
}

void RememberedChoices::setLineKind(LineKind kind) {
    if (kind == lineKind_) return;
    lineKind_ = kind;
    save();
}

void RememberedChoices::setTcpHost(const QString& host) {
    if (host == tcpHost_) return;
    tcpHost_ = host;
    save();
}

void RememberedChoices::setSiteName(const QString& name) {
    if (name == siteName_) return;
    siteName_ = name;
    save();
}

}  // namespace corvanta
