#include "transfer/firmware_key.h"

#include <QFileInfo>

#include "link/settings_file.h"
#include "link/whole_file.h"
#include "params/hex_digits.h"

namespace corvanta {

namespace {

constexpr const char* kKeyVariable = "CORVANTA_FIRMWARE_KEY";
constexpr qint64 kKeyFileLimit = 1024;

QString howToSet() {
    return QString::fromUtf8("Adja meg a modul firmware kulcsát 16 hexadecimális számjegyként a %1 "
                             "környezeti változóban vagy a %2 fájl első sorában.")
        .arg(QLatin1String(kKeyVariable), firmwareKeyFilePath());
}

}  // namespace

QString firmwareKeyFilePath() {
    return QFileInfo(SettingsFile::defaultPath()).absolutePath() + QStringLiteral("/firmware.key");
}

std::optional<FirmwareKey> parseFirmwareKey(const QString& text) {
    const QByteArray digits = text.trimmed().toLatin1();
    if (digits.size() != 2 * qsizetype(kFirmwareKeySize)) return std::nullopt;
    FirmwareKey key{};
    for (std::size_t i = 0; i < kFirmwareKeySize; ++i) {
        const int high = hexValue(digits[qsizetype(2 * i)]);
        const int low = hexValue(digits[qsizetype(2 * i + 1)]);
        if (high < 0 || low < 0) return std::nullopt;
        key[i] = std::uint8_t(high * 16 + low);
    }
    return key;
}

std::optional<FirmwareKey> installedFirmwareKey(QString* error) {
    QString text;
    QString from;
    if (qEnvironmentVariableIsSet(kKeyVariable)) {
        text = qEnvironmentVariable(kKeyVariable);
        from = QLatin1String(kKeyVariable);
    } else {
        QByteArray bytes;
        if (readWholeFile(firmwareKeyFilePath(), kKeyFileLimit, bytes)) {
            if (error) *error = QString::fromUtf8("Nincs firmware kulcs beállítva. ") + howToSet();
            return std::nullopt;
        }
        text = QString::fromLatin1(bytes).section(u'\n', 0, 0);
        from = firmwareKeyFilePath();
    }
    auto key = parseFirmwareKey(text);
    if (!key && error)
        *error = QString::fromUtf8("A firmware kulcs (%1) nem 16 hexadecimális számjegy. ").arg(from) + howToSet();
    return key;
}

}  // namespace corvanta
