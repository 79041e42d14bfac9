#include "link/settings_file.h"

#include <QDir>
#include <QFileInfo>

#include "link/whole_file.h"
#include "params/win1250.h"

namespace corvanta {
namespace {

constexpr int kPortColumn = 0;
constexpr int kPhoneColumn = 1;
constexpr int kRow = 0;
// A settings file is a few dozen bytes; anything far larger is not one.
constexpr qint64 kMaxFileSize = 64 * 1024;

QString fromModuleText(const std::string& bytes)
{
    return QString::fromStdString(fromWin1250(bytes));
}

std::string toModuleText(const QString& text)
{
    return toWin1250(text.toStdString());
}

}  // namespace

SettingsFile::SettingsFile(QString path) : path_(std::move(path)) {}

QString SettingsFile::defaultPath()
{
    const QString override = qEnvironmentVariable("CORVANTA_SETTINGS_FILE");
    if (!override.isEmpty()) return override;
    QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (folder.isEmpty()) folder = QDir::homePath() + QStringLiteral("/.config");
    return folder + QStringLiteral("/DRAL_CORVANTA_setup.ini");
}

bool SettingsFile::load(QString* error)
{
    phoneNumber_.clear();
    QByteArray bytes;
    const auto failure = readWholeFile(path_, kMaxFileSize, bytes);
    if (failure && failure->kind != FileFailure::Kind::TooLarge) {
        if (error) *error = QStringLiteral("Cannot open file ") + path_;
        return false;
    }
    const auto table = failure ? std::nullopt
                               : parseSettingsTable(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (!table) {
        if (error) *error = QStringLiteral("File contains no data or corrupt file ") + path_;
        return false;
    }
    table_ = *table;
    portName_ = fromModuleText(table_.cell(kPortColumn, kRow));
    phoneNumber_ = fromModuleText(table_.cell(kPhoneColumn, kRow));
    return true;
}

bool SettingsFile::save(QString* error)
{
    table_.setCell(kPortColumn, kRow, toModuleText(portName_));
    table_.setCell(kPhoneColumn, kRow, toModuleText(phoneNumber_));
    const std::string text = formatSettingsTable(table_);

    QDir().mkpath(QFileInfo(path_).absolutePath());
    // A port and a telephone number: no password, no code.
    const auto failure = writeWholeFile(path_, QByteArray(text.data(), qsizetype(text.size())), FileAccess::Shared);
    if (failure && error) *error = QStringLiteral("Cannot Create ") + path_ + u'\n' + failure->reason;
    return !failure;
}

}  // namespace corvanta
