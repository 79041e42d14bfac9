#include "fleet/fleet_sites.h"

#include <QDir>
#include <QHash>
#include <QSet>
#include <QStringList>

#include "sitebook/site_records.h"

namespace corvanta::fleet {
namespace {

struct Record {
    int line = 0;
    QStringList fields;
};

// RFC 4180 records: commas, double quotes around a field that holds them
// (a doubled quote inside stands for one), CRLF or LF line ends, blank lines
// skipped. False on an unclosed quote.
bool splitRecords(const QString& text, std::vector<Record>& out, int& badLine) {
    Record record{1, {}};
    QString field;
    bool quoted = false, wasQuoted = false;
    int line = 1;
    auto endRecord = [&] {
        record.fields << field;
        const bool blank = record.fields.size() == 1 && record.fields[0].trimmed().isEmpty() && !wasQuoted;
        if (!blank) out.push_back(record);
        record = Record{line, {}};
        field.clear();
        wasQuoted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                if (c == QLatin1Char('\n')) ++line;
                field += c;
            }
        } else if (c == QLatin1Char('"') && field.trimmed().isEmpty()) {
            quoted = wasQuoted = true;
            field.clear();
        } else if (c == QLatin1Char(',')) {
            record.fields << field;
            field.clear();
        } else if (c == QLatin1Char('\n')) {
            ++line;
            endRecord();
        } else if (c != QLatin1Char('\r')) {
            field += c;
        }
    }
    if (quoted) {
        badLine = record.line;
        return false;
    }
    if (!field.isEmpty() || !record.fields.isEmpty()) endRecord();
    return true;
}

const QStringList kColumns{QStringLiteral("name"), QStringLiteral("port"), QStringLiteral("host"),
                           QStringLiteral("tcpPort"), QStringLiteral("passwordFile")};

}  // namespace

std::optional<QByteArray> readSiteList(QFile& file, QString& error) {
    QByteArray bytes = file.read(kMaxSiteListBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("cannot read: ") + file.errorString();
        return std::nullopt;
    }
    if (bytes.size() > kMaxSiteListBytes) {
        error = QStringLiteral("larger than %1 MiB: no site list").arg(kMaxSiteListBytes / (1024 * 1024));
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::vector<FleetSite>> parseFleetSites(const QByteArray& csv, const QString& folder, QString& error) {
    auto bad = [&error](int line, const QString& why) {
        error = QStringLiteral("line %1: %2").arg(line).arg(why);
        return std::nullopt;
    };
    // A NUL is in no text a person wrote: the site would be stored under a
    // name cut short, or refused by the server later.
    if (const qsizetype nul = csv.indexOf('\0'); nul >= 0)
        return bad(int(csv.left(nul).count('\n')) + 1, QStringLiteral("a NUL byte: the list is no text file"));
    QString text = QString::fromUtf8(csv);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);  // a spreadsheet's byte order mark
    std::vector<Record> records;
    int badLine = 0;
    if (!splitRecords(text, records, badLine)) return bad(badLine, QStringLiteral("a quote is never closed"));
    if (records.empty()) return bad(1, QStringLiteral("no header line (name, port or host, tcpPort, passwordFile)"));

    QHash<QString, int> column;
    const Record& header = records.front();
    for (int i = 0; i < header.fields.size(); ++i) {
        const QString name = header.fields[i].trimmed();
        if (!kColumns.contains(name))
            return bad(header.line, QStringLiteral("unknown column \"%1\" (the columns are %2)")
                                        .arg(name, kColumns.join(QStringLiteral(", "))));
        if (column.contains(name)) return bad(header.line, QStringLiteral("column \"%1\" twice").arg(name));
        column.insert(name, i);
    }
    if (!column.contains(QStringLiteral("name")))
        return bad(header.line, QStringLiteral("no column \"name\""));
    if (!column.contains(QStringLiteral("port")) && !column.contains(QStringLiteral("host")))
        return bad(header.line, QStringLiteral("no column \"port\" or \"host\""));

    std::vector<FleetSite> sites;
    QSet<QString> names;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const Record& row = records[r];
        if (row.fields.size() != header.fields.size())
            return bad(row.line, QStringLiteral("%1 fields where the header has %2")
                                     .arg(row.fields.size())
                                     .arg(header.fields.size()));
        auto value = [&](const QString& name) {
            return column.contains(name) ? row.fields[column[name]].trimmed() : QString();
        };
        FleetSite site;
        site.line = row.line;
        site.name = value(QStringLiteral("name"));
        site.port = value(QStringLiteral("port"));
        site.host = value(QStringLiteral("host"));
        site.passwordFile = value(QStringLiteral("passwordFile"));
        if (site.name.isEmpty()) return bad(row.line, QStringLiteral("no name"));
        if (const QString problem = sitebook::siteNameProblem(site.name); !problem.isEmpty())
            return bad(row.line, problem);
        if (names.contains(site.name)) return bad(row.line, QStringLiteral("\"%1\" named twice").arg(site.name));
        names.insert(site.name);
        if (site.port.isEmpty() == site.host.isEmpty())
            return bad(row.line, QStringLiteral("give either a port or a host"));
        if (const QString tcpPort = value(QStringLiteral("tcpPort")); !tcpPort.isEmpty()) {
            bool ok = false;
            site.tcpPort = tcpPort.toInt(&ok);
            if (!ok || site.tcpPort < 1 || site.tcpPort > 65535 || site.host.isEmpty())
                return bad(row.line, QStringLiteral("tcpPort \"%1\" is no TCP port of a host").arg(tcpPort));
        }
        if (!site.passwordFile.isEmpty()) {
            if (site.host.isEmpty()) return bad(row.line, QStringLiteral("a passwordFile without a host"));
            site.passwordFile = QDir(folder).absoluteFilePath(site.passwordFile);
        }
        sites.push_back(std::move(site));
    }
    if (sites.empty()) return bad(header.line, QStringLiteral("no sites below the header"));
    return sites;
}

}  // namespace corvanta::fleet
