// A site's event history as text, JSON, CSV or a workbook. The rows are
// printed as the book hands them over, a page at a time, never gathered:
// a history of years costs no more memory than one of a day.

#include "app/cli/event_history.h"

#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <optional>

#include "app/cli/existing_book.h"
#include "app/cli/files.h"
#include "app/cli/output.h"
#include "app/cli/session.h"
#include "app/cli/workbooks.h"
#include "service/event_list_export.h"
#include "sheets/event_sheets.h"
#include "sheets/xlsx_sheet.h"
#include "sitebook/site_book.h"

namespace corvanta::cli {
namespace {

using sitebook::SiteBook;
using sitebook::SiteEvent;

// "YYYY-MM-DD" or "YYYY-MM-DD HH:MM", as the history's minutes are written.
std::optional<QString> parseSince(const std::string& text) {
    const QString t = QString::fromStdString(text).trimmed();
    if (QDate::fromString(t, QStringLiteral("yyyy-MM-dd")).isValid()) return t;
    const QDateTime minute = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm"));
    if (minute.isValid()) return minute.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return std::nullopt;
}

std::optional<qint64> parseLimit(const std::string& text) {
    bool ok = false;
    const qint64 n = QString::fromStdString(text).toLongLong(&ok);
    return ok && n > 0 ? std::optional<qint64>(n) : std::nullopt;
}

bool put(const QByteArray& bytes) {
    return std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) == std::size_t(bytes.size());
}

// Columns as wide as the widest text each can hold, so that a row is
// printed as it comes.
constexpr int kWidths[sheets::kSiteEventColumns] = {16, 17, 18, 2, 2, 2, 2, 2, 2, 2, 2, 4, 7, 16};

QByteArray tableLine(const QStringList& cells) {
    QString line;
    for (int c = 0; c < cells.size(); ++c) {
        if (c > 0) line += QStringLiteral("  ");
        line += c + 1 < cells.size() ? cells[c].leftJustified(kWidths[c]) : cells[c];
    }
    while (line.endsWith(u' ')) line.chop(1);
    return (line + u'\n').toUtf8();
}

QJsonObject eventJson(const SiteEvent& e) {
    const QStringList cells = sheets::siteEventTexts(e);
    QJsonObject pending;
    const auto marks = routeMarks(e.entry);
    for (std::size_t r = 0; r < marks.size(); ++r)
        pending.insert(QString::fromUtf8(kEventListTitles[4 + r]), marks[r] == "X");
    return {{"time", e.occurredAt},       {"text", cells[1]},
            {"subject", e.subject},       {"pending", pending},
            {"status", cells[12]},        {"loadedAt", sitebook::isoTime(e.loadedAt)}};
}

// A text as a JSON string, quotes and escapes included.
QByteArray jsonString(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);  // without the brackets
}

std::vector<std::string> csvFields(const QStringList& cells) {
    std::vector<std::string> fields;
    for (const QString& c : cells) fields.push_back(c.toStdString());
    return fields;
}

}  // namespace

const std::string& eventHistoryUsage() {
    static const std::string usage =
        "events --site NAME --history [--since DATE] [--limit N] [--json | --csv] [--xlsx FILE]";
    return usage;
}

int runEventHistory(const Args& args) {
    if (auto status = checkWords(args, {"--history", "--json", "--csv"}, {"--site", "--since", "--limit", "--xlsx"},
                                 0, eventHistoryUsage()))
        return *status;
    if (args.flag("--json") && args.flag("--csv")) return fail(ExitUsage, QStringLiteral("give --json or --csv, not both"));
    const auto name = args.option("--site");
    if (!name) return fail(ExitUsage, QStringLiteral("--history takes the site with --site NAME"));
    sitebook::SiteEventQuery query;
    if (const auto since = args.option("--since")) {
        const auto parsed = parseSince(*since);
        if (!parsed)
            return fail(ExitUsage, QStringLiteral("--since takes YYYY-MM-DD or \"YYYY-MM-DD HH:MM\", not \"%1\"")
                                       .arg(QString::fromStdString(*since)));
        query.since = *parsed;
    }
    if (const auto limit = args.option("--limit")) {
        query.limit = parseLimit(*limit);
        if (!query.limit)
            return fail(ExitUsage, QStringLiteral("--limit takes a number above 0, not \"%1\"").arg(QString::fromStdString(*limit)));
    }
    const auto xlsx = args.option("--xlsx");
    if (xlsx) {
        if (auto status = checkOutput(*xlsx)) return *status;
    }

    const QString siteName = QString::fromStdString(*name);
    SiteBook book;
    const BookState state = openExistingBook(book, ExitUsage);
    if (state == BookState::Refused) return ExitUsage;
    if (state == BookState::Missing) return fail(ExitUsage, QString::fromUtf8("nincs ilyen helyszín: ") + siteName);
    const auto site = book.findSite(siteName);
    if (!site) return fail(ExitUsage, book.error());

    std::optional<sheets::XlsxSheet> sheet;
    if (xlsx) sheet.emplace("Eseménynapló", sheets::siteEventColumns());
    const bool json = args.flag("--json"), csv = args.flag("--csv");
    const bool toStdout = !xlsx || json || csv;
    bool written = true;
    bool first = true;
    if (toStdout) {
        if (json) {
            written = put("{\"site\":" + jsonString(site->name) + ",\"events\":[");
        } else if (csv) {
            written = put(QByteArray::fromStdString(csvLine(csvFields(sheets::siteEventTitles()))));
        } else {
            written = put(tableLine(sheets::siteEventTitles()));
        }
    }
    const bool read = book.eachSiteEvent(site->id, query, [&](const SiteEvent& e) {
        if (sheet && !sheet->addRow(sheets::siteEventRow(e))) return false;
        if (!toStdout) return true;
        if (json) {
            written = put((first ? QByteArray("\n") : QByteArray(",\n")) +
                          QJsonDocument(eventJson(e)).toJson(QJsonDocument::Compact));
        } else if (csv) {
            written = put(QByteArray::fromStdString(csvLine(csvFields(sheets::siteEventTexts(e)))));
        } else {
            written = put(tableLine(sheets::siteEventTexts(e)));
        }
        first = false;
        return written;
    });
    if (toStdout && json && written) written = put("\n]}\n");
    if (!read) return fail(ExitFailed, book.error());
    if (toStdout && (!written || std::fflush(stdout) != 0)) return fail(ExitFailed, QStringLiteral("cannot write the output"));
    // Events hold no code.
    return sheet ? finishWorkbook(*sheet, *xlsx, FileAccess::Shared) : ExitOk;
}

}  // namespace corvanta::cli
