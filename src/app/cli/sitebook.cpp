// Site book commands of corvanta-cli: the sites, their history and writes, a
// snapshot as a parameter file, and the field diff of two images.

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <map>
#include <set>

#include "app/cli/commands.h"
#include "app/cli/files.h"
#include "app/cli/kept_secrets.h"
#include "app/cli/json_array.h"
#include "app/cli/existing_book.h"
#include "app/cli/output.h"
#include "app/cli/session.h"
#include "app/cli/workbooks.h"
#include "params/image_diff.h"
#include "sheets/site_book_sheets.h"
#include "sheets/xlsx_sheet.h"
#include "sitebook/site_book.h"

namespace corvanta::cli {
namespace {

using sitebook::SiteBook;

int printJsonDocument(const QJsonDocument& doc) {
    const QByteArray json = doc.toJson(QJsonDocument::Indented);
    const bool ok = std::fwrite(json.constData(), 1, std::size_t(json.size()), stdout) == std::size_t(json.size()) &&
                    std::fflush(stdout) == 0;
    return ok ? ExitOk : fail(ExitFailed, QStringLiteral("cannot write the output"));
}

// --site NAME as a site id; nullopt for every site. False when the named
// site is not in the book.
bool siteFilter(const Args& args, SiteBook& book, std::optional<qint64>& siteId) {
    const auto name = args.option("--site");
    if (!name) return true;
    const auto site = book.findSite(QString::fromStdString(*name));
    if (!site) {
        fail(ExitUsage, book.error());
        return false;
    }
    siteId = site->id;
    return true;
}

// Who made a row, in its JSON object: keys added to those of before.
void whoJson(const sitebook::Who& who, QJsonObject& out) {
    out.insert("dbRole", who.dbRole);
    out.insert("osUser", who.osUser);
    out.insert("host", who.host);
}

// "\tby anna (os: anna@desk-3)" at a line's end; nothing for a row kept
// before rows said who made them.
QString whoField(const sitebook::Who& who) {
    const QString line = sitebook::whoLine(who);
    return line.isEmpty() ? QString() : QStringLiteral("\tby ") + line;
}

// --limit N and --since DATE, as a listing of the book takes them; nullopt
// after the message on a bad one.
std::optional<SiteBook::Listing> listingFrom(const Args& args) {
    SiteBook::Listing listing;
    if (const auto limit = args.option("--limit")) {
        bool ok = false;
        const qint64 n = QString::fromStdString(*limit).toLongLong(&ok);
        if (!ok || n < 1) {
            fail(ExitUsage, QStringLiteral("--limit %1: expected a whole number above 0").arg(QString::fromStdString(*limit)));
            return std::nullopt;
        }
        listing.limit = n;
    }
    if (const auto since = args.option("--since")) {
        // A day from its start, or a moment; local time unless it names its
        // zone (Z or +01:00), as the installer reads a clock.
        const QString text = QString::fromStdString(*since).trimmed();
        QDateTime t;
        if (text.size() == 10) {
            const QDate day = QDate::fromString(text, Qt::ISODate);
            if (day.isValid()) t = day.startOfDay();
        } else if (text.size() > 10 && (text[10] == QLatin1Char('T') || text[10] == QLatin1Char(' '))) {
            QString iso = text;
            iso[10] = QLatin1Char('T');
            t = QDateTime::fromString(iso, Qt::ISODateWithMs);
        }
        if (!t.isValid()) {
            fail(ExitUsage, QStringLiteral("--since %1: expected a date (YYYY-MM-DD) or a date and time "
                                           "(YYYY-MM-DDTHH:MM[:SS], with Z or +HH:MM for other than local time)")
                                .arg(text));
            return std::nullopt;
        }
        listing.since = t;
    }
    return listing;
}

// A line of a listing: buffered, as a listing may run to a million lines;
// listingEnd() flushes and tells whether all of it went out.
void listingLine(const QString& line) {
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fputc('\n', stdout);
}

int listingEnd(bool ok, const SiteBook& book) {
    if (!ok) return fail(ExitFailed, book.path() + QStringLiteral(": ") + book.error());
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return fail(ExitFailed, QStringLiteral("cannot write the output"));
    return ExitOk;
}

QString dataVersionText(int v) { return v < 0 ? QStringLiteral("-") : QStringLiteral("dv.%1").arg(v); }

QJsonArray changesJson(const std::vector<sitebook::WriteChange>& rows) {
    QJsonArray a;
    for (const auto& c : rows) {
        a.append(QJsonObject{{"path", c.path}, {"caption", c.caption}, {"old", c.before}, {"new", c.after}});
    }
    return a;
}

// A write of a batch, or one that put a snapshot back: "batch 7",
// "restored @12" (of another site: whose).
QString originLine(const sitebook::WriteOrigin& o, const sitebook::WriteRecord& w) {
    QStringList parts;
    if (o.batchId) parts << QStringLiteral("batch %1").arg(*o.batchId);
    if (o.restoredSnapshot) {
        QString restored = QStringLiteral("restored @%1").arg(*o.restoredSnapshot);
        if (o.restoredSite != w.site) restored += QStringLiteral(", a snapshot of another site: ") + o.restoredSite;
        parts << restored;
    }
    return QStringLiteral("    ") + parts.join(QStringLiteral("; "));
}

void originJson(const sitebook::WriteOrigin& o, const sitebook::WriteRecord& w, QJsonObject& out) {
    if (o.batchId) out.insert("batch", *o.batchId);
    if (o.restoredSnapshot) {
        out.insert("restored", *o.restoredSnapshot);
        out.insert("restoredSite", o.restoredSite);
        out.insert("otherSite", o.restoredSite != w.site);
    }
}

const char* const kSitesUsage = "sites [--limit N] [--since DATE] [--json] [--xlsx FILE]";
const char* const kAuditUsage = "audit [--site NAME] [--limit N] [--since DATE] [--json] [--xlsx FILE]";

int runSites(const Args& args) {
    if (!args.positional.empty() && args.positional[0] == "secret") return runSiteSecret(args);
    if (auto status = checkWords(args, {"--json"}, {"--limit", "--since", "--xlsx"}, 0, kSitesUsage)) return *status;
    const auto listing = listingFrom(args);
    if (!listing) return ExitUsage;
    const auto xlsx = args.option("--xlsx");
    if (xlsx) {
        if (auto status = checkOutput(*xlsx)) return *status;
    }
    SiteBook book;
    const BookState state = openExistingBook(book, ExitUsage);
    if (state == BookState::Refused) return ExitUsage;
    std::optional<sheets::XlsxSheet> sheet;
    std::map<qint64, QDateTime> reads;
    if (xlsx) {
        sheet.emplace("Helyszínek", sheets::siteListColumns());
        if (state == BookState::Open) reads = book.latestReads();
    }
    const bool json = args.flag("--json");
    const bool toStdout = !sheet || json;
    JsonArrayPrinter array;
    bool written = true;
    const bool ok = state != BookState::Open || book.eachSite(*listing, [&](const sitebook::Site& s) {
        if (sheet) {
            const auto read = reads.find(s.id);
            sheet->addRow(sheets::siteListRow(s, read == reads.end() ? QDateTime() : read->second));
        }
        if (!toStdout) return true;
        if (json) {
            return written = array.add(QJsonObject{{"id", s.id},
                                                   {"name", s.name},
                                                   {"address", s.address},
                                                   {"notes", s.notes},
                                                   {"serialPort", s.serialPort},
                                                   {"modemNumber", s.modemNumber},
                                                   {"tcpHost", s.tcpHost},
                                                   {"tcpPort", s.tcpPort}});
        }
        QStringList reach;
        if (!s.serialPort.isEmpty()) reach << s.serialPort;
        if (!s.modemNumber.isEmpty()) reach << QStringLiteral("tel. ") + s.modemNumber;
        if (!s.tcpHost.isEmpty()) reach << (s.tcpPort ? QStringLiteral("%1:%2").arg(s.tcpHost, QString::number(s.tcpPort)) : s.tcpHost);
        listingLine(s.name + QStringLiteral("\t") + s.address + QStringLiteral("\t") + reach.join(QStringLiteral(", ")));
        return true;
    });
    if (toStdout && ok && json && !array.finish()) written = false;
    if (!written) return fail(ExitFailed, QStringLiteral("cannot write the output"));
    const int status = listingEnd(ok, book);
    // The sites hold no code.
    return status == ExitOk && sheet ? finishWorkbook(*sheet, *xlsx, FileAccess::Shared) : status;
}

// The site --site names, when it names one: false after the message when
// the book has no such site (or there is no book).
bool siteOfListing(const Args& args, BookState state, SiteBook& book, SiteBook::Listing& listing) {
    if (state == BookState::Open) return siteFilter(args, book, listing.siteId);
    if (const auto name = args.option("--site")) {
        fail(ExitUsage, QString::fromUtf8("nincs ilyen helyszín: ") + QString::fromStdString(*name));
        return false;
    }
    return true;
}

int runHistory(const Args& args) {
    if (auto status = checkWords(args, {"--json"}, {"--site", "--limit", "--since"}, 0,
                                 "history [--site NAME] [--limit N] [--since DATE] [--json]"))
        return *status;
    auto listing = listingFrom(args);
    if (!listing) return ExitUsage;
    SiteBook book;
    const BookState state = openExistingBook(book, ExitUsage);
    if (state == BookState::Refused) return ExitUsage;
    if (!siteOfListing(args, state, book, *listing)) return ExitUsage;
    // Each site's first read: one number a site, however long its history.
    const std::set<qint64> installation =
        state == BookState::Open ? book.installationSnapshots(listing->siteId) : std::set<qint64>{};
    const bool json = args.flag("--json");
    JsonArrayPrinter array;
    bool written = true;
    const bool ok = state != BookState::Open || book.eachSnapshot(*listing, [&](const sitebook::SnapshotInfo& h) {
        if (json) {
            QJsonObject o{{"id", h.id},
                          {"site", h.site},
                          {"takenAt", sitebook::isoTime(h.takenAt)},
                          {"kind", sitebook::kindName(h.kind)},
                          {"sha256", h.sha256},
                          {"moduleVersion", h.moduleVersion},
                          {"dataVersion", h.dataVersion}};
            if (installation.count(h.id)) o.insert("installation", true);
            whoJson(h.who, o);
            return written = array.add(o);
        }
        QString line = QStringLiteral("@%1\t%2\t%3\t%4\t%5 %6\t%7")
                           .arg(h.id)
                           .arg(sitebook::isoTime(h.takenAt),
                                installation.count(h.id) ? QStringLiteral("read (installation)")
                                                         : sitebook::kindName(h.kind),
                                h.site, h.moduleVersion, dataVersionText(h.dataVersion), h.sha256.left(12));
        if (!h.note.isEmpty()) line += QStringLiteral("\t") + h.note;
        listingLine(line + whoField(h.who));
        return true;
    });
    if (ok && json && !array.finish()) written = false;
    if (!written) return fail(ExitFailed, QStringLiteral("cannot write the output"));
    return listingEnd(ok, book);
}

int runAudit(const Args& args) {
    if (auto status = checkWords(args, {"--json"}, {"--site", "--limit", "--since", "--xlsx"}, 0, kAuditUsage))
        return *status;
    auto listing = listingFrom(args);
    if (!listing) return ExitUsage;
    const auto xlsx = args.option("--xlsx");
    if (xlsx) {
        if (auto status = checkOutput(*xlsx)) return *status;
    }
    SiteBook book;
    const BookState state = openExistingBook(book, ExitUsage);
    if (state == BookState::Refused) return ExitUsage;
    if (!siteOfListing(args, state, book, *listing)) return ExitUsage;
    std::optional<sheets::XlsxSheet> sheet;
    if (xlsx) sheet.emplace("Írások", sheets::auditColumns());
    const bool json = args.flag("--json");
    const bool toStdout = !sheet || json;
    JsonArrayPrinter array;
    bool written = true;
    const bool ok = state != BookState::Open || book.eachWrite(*listing, [&](const sitebook::WriteRecord& w) {
        // The values as the book gives them, as the lines print them: a
        // viewer's book has its codes masked already.
        if (sheet) sheet->addRow(sheets::auditRow(w, true));
        if (!toStdout) return true;
        if (json) {
            QJsonObject o{{"id", w.id},
                          {"site", w.site},
                          {"at", sitebook::isoTime(w.at)},
                          {"result", sitebook::writeResultName(w)},
                          {"blocks", w.blocks},
                          {"changes", changesJson(w.changes)}};
            if (!w.settled) o.insert("sentSha256", w.sentSha256);
            whoJson(w.who, o);
            if (w.origin.any()) originJson(w.origin, w, o);
            return written = array.add(o);
        }
        listingLine(QStringLiteral("#%1\t%2\t%3\t%4\t%5")
                        .arg(QString::number(w.id), sitebook::isoTime(w.at), sitebook::writeResultName(w), w.blocks,
                             w.site) +
                    whoField(w.who));
        // The program that made it died after the commit went out.
        if (!w.settled)
            listingLine(QString::fromUtf8("    ismeretlen kimenetel: a modul a küldött képet (sha256 %1) vagy a korábbit tartja")
                            .arg(w.sentSha256.left(12)));
        if (w.origin.any()) listingLine(originLine(w.origin, w));
        for (const auto& c : w.changes) listingLine(QStringLiteral("    ") + sitebook::changeLine(c));
        return true;
    });
    if (toStdout && ok && json && !array.finish()) written = false;
    if (!written) return fail(ExitFailed, QStringLiteral("cannot write the output"));
    const int status = listingEnd(ok, book);
    return status == ExitOk && sheet ? finishWorkbook(*sheet, *xlsx, FileAccess::OwnerOnly) : status;
}

// "@12" or "12": a snapshot number.
std::optional<qint64> snapshotId(const std::string& word) {
    const QString text = QString::fromStdString(word.rfind('@', 0) == 0 ? word.substr(1) : word);
    bool ok = false;
    const qint64 id = text.toLongLong(&ok);
    return ok && id > 0 ? std::optional<qint64>(id) : std::nullopt;
}

// A parameter file, or "@ID" for a snapshot of the book.
std::optional<ParameterImage> loadImage(const std::string& word, std::optional<SiteBook>& book) {
    if (word.rfind('@', 0) != 0) return readImageInput(word);
    const auto id = snapshotId(word);
    if (!id) {
        fail(ExitUsage, QString::fromStdString(word) + QStringLiteral(": expected @ and a snapshot number"));
        return std::nullopt;
    }
    if (!book) {
        book.emplace();
        const BookState state = openExistingBook(*book, ExitUsage);
        if (state == BookState::Refused) return std::nullopt;
        if (state == BookState::Missing) {
            fail(ExitUsage, SiteBook::displayName(SiteBook::defaultPath()) + QStringLiteral(": no site book"));
            return std::nullopt;
        }
    }
    const auto snapshot = book->snapshot(*id);
    if (!snapshot) {
        fail(ExitUsage, QString::fromStdString(word) + QStringLiteral(": ") + book->error());
        return std::nullopt;
    }
    return snapshot->image;
}

int runDiff(const Args& args) {
    if (auto status = checkWords(args, {"--json"}, {}, 2, "diff A B [--json]")) return *status;
    std::optional<SiteBook> book;
    const auto a = loadImage(args.positional[0], book);
    if (!a) return ExitUsage;
    const auto b = loadImage(args.positional[1], book);
    if (!b) return ExitUsage;
    const ImageDiff d = diff(*a, *b);
    const auto rows = sitebook::changeRows(d);
    if (args.flag("--json")) {
        if (const int e = printJsonDocument(QJsonDocument(changesJson(rows)))) return e;
    } else {
        for (const auto& row : rows) say(sitebook::changeLine(row));
    }
    return d.equal() ? ExitOk : ExitFailed;
}

int runSnapshot(const Args& args) {
    if (auto status = checkWords(args, {}, {"-o"}, 1, "snapshot ID -o FILE")) return *status;
    const auto out = args.option("-o");
    if (!out || out->empty()) return fail(ExitUsage, QStringLiteral("usage: corvanta-cli snapshot ID -o FILE"));
    if (auto status = checkOutput(*out)) return *status;
    std::optional<SiteBook> book;
    const auto image = loadImage(args.positional[0][0] == '@' ? args.positional[0] : '@' + args.positional[0], book);
    if (!image) return ExitUsage;
    return writeOutput(*out, QByteArray(reinterpret_cast<const char*>(image->data()), qsizetype(image->size())),
                       FileAccess::OwnerOnly);
}

const char* const kListingDetails =
    "  --limit N     at most N: the newest (history, audit), the first by name (sites)\n"
    "  --since DATE  from DATE on (YYYY-MM-DD, or YYYY-MM-DDTHH:MM[:SS] with Z or\n"
    "                +HH:MM when not local time); sites: those with a snapshot or\n"
    "                a write since then\n"
    "  --json        a JSON array, printed as the rows come\n";
const char* const kWorkbookDetails =
    "  --xlsx FILE   the rows as a workbook as well (alone: nothing printed)\n";

}  // namespace

std::vector<Command> siteBookCommands() {
    return {
        {"sites",
         std::string(kSitesUsage) + "  list the sites of the site book\n  " + kSiteSecretUsage +
             "\n                                    keep a site's code and password for unattended work",
         runSites,
         std::string(kListingDetails) + kWorkbookDetails +
             "  sites secret NAME asks for the installer code and the TCP/IP password of\n"
             "  the site and keeps them for the fleet and restore to take when none is\n"
             "  given: a team book in its own table (only technicians and admins read\n"
             "  it), a book of one's own in the desktop's secret store, never in the file.\n"
             "  --from-env   keep $CORVANTA_CODE and $CORVANTA_PASSWORD instead (scripts)\n"
             "  --forget     drop what is kept for the site\n"},
        {"history", "history [--site NAME] [--limit N] [--since DATE] [--json]  the snapshots, newest first",
         runHistory, kListingDetails},
        {"audit", std::string(kAuditUsage) + "  the writes and the fields each changed",
         runAudit, std::string(kListingDetails) + kWorkbookDetails +
             "                only its owner may read it: it may hold codes\n"},
        {"snapshot", "snapshot ID -o FILE               save a snapshot as a parameter file", runSnapshot},
        {"diff", "diff A B [--json]                 the fields that differ; A, B: files or @ID snapshots",
         runDiff},
    };
}

}  // namespace corvanta::cli
