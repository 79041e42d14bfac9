// corvanta-cli's listings of the site book (sites, history, audit): the
// newest N, those from a date on, and JSON that reads as it always did
// while printed row by row.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>

#include "params/parameter_codec.h"
#include "sitebook/site_book.h"
#include "tests/link/sim_process.h"
#include "tests/support/qt_core_app.h"
#include "tests/support/field_images.h"
#include "tests/support/file_modes.h"
#include "tests/support/workbook_xml.h"

namespace corvanta::testing {
namespace {

const QDateTime kStart(QDate(2025, 6, 1), QTime(12, 0), Qt::UTC);

class CliListing : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtCoreApp();
        ASSERT_TRUE(dir.isValid());
        qputenv("CORVANTA_SITEBOOK", dir.filePath("sitebook.sqlite").toUtf8());
    }
    void TearDown() override { qunsetenv("CORVANTA_SITEBOOK"); }
    // Two sites: Alfa read on days 0, 2, 4 and written on day 5 (a change
    // of one field); Béta read on days 1 and 3.
    void fill() {
        sitebook::SiteBook book;
        ASSERT_TRUE(book.open(dir.filePath("sitebook.sqlite")));
        QDateTime at;
        book.setClock([&at] { return at; });
        sitebook::Site a, b;
        a.name = QStringLiteral("Alfa");
        b.name = QString::fromUtf8("Béta");
        ASSERT_TRUE(book.saveSite(a) && book.saveSite(b));
        for (int day = 0; day < 5; ++day) {
            at = kStart.addDays(day);
            ASSERT_TRUE(book.addSnapshot(day % 2 ? b.id : a.id, sitebook::SnapshotKind::Read, imageWithEntryDelay(5),
                                         QStringLiteral("V"), 2));
        }
        at = kStart.addDays(5);
        ASSERT_TRUE(book.recordWrite(a.id, true, QStringLiteral("GGGGGGGG"), imageWithEntryDelay(9), {}, 2));
    }

    QTemporaryDir dir;
};

QJsonArray arrayOf(const CliSplitResult& r) { return QJsonDocument::fromJson(r.output.toUtf8()).array(); }

QStringList takenAt(const QJsonArray& a) {
    QStringList out;
    for (const auto& v : a) out << v.toObject()["takenAt"].toString();
    return out;
}

}  // namespace

TEST_F(CliListing, JsonPrintedRowByRowReadsAsTheWholeDocumentDid) {
    for (const char* command : {"history", "audit", "sites"}) {
        const CliSplitResult empty = runCliSplit({command, "--json"});  // no book yet
        EXPECT_EQ(empty.exitCode, 0) << command;
        EXPECT_EQ(empty.output, QStringLiteral("[\n]\n")) << command;
    }
    fill();
    for (const char* command : {"history", "audit", "sites"}) {
        const CliSplitResult r = runCliSplit({command, "--json"});
        ASSERT_EQ(r.exitCode, 0) << command << r.errors.toStdString();
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(r.output.toUtf8(), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << command << r.output.toStdString();
        EXPECT_FALSE(doc.array().isEmpty()) << command;
        // Byte for byte what the document of the whole list printed.
        EXPECT_EQ(r.output, QString::fromUtf8(doc.toJson(QJsonDocument::Indented))) << command;
    }
    const QJsonArray history = arrayOf(runCliSplit({"history", "--json"}));
    ASSERT_EQ(history.size(), 6);
    EXPECT_EQ(history[5].toObject().keys(),
              (QStringList{"dataVersion", "dbRole", "host", "id", "installation", "kind", "moduleVersion", "osUser",
                           "sha256", "site", "takenAt"}));
    // Who took it, as each row is printed: a file book has no database role.
    EXPECT_EQ(history[5].toObject()["dbRole"].toString(), QString());
    EXPECT_FALSE(history[0].toObject()["osUser"].toString().isEmpty());
    const QJsonArray audit = arrayOf(runCliSplit({"audit", "--json"}));
    ASSERT_EQ(audit.size(), 1);
    EXPECT_EQ(audit[0].toObject()["changes"].toArray().size(), 1);
    EXPECT_FALSE(audit[0].toObject()["osUser"].toString().isEmpty());
    EXPECT_FALSE(audit[0].toObject()["host"].toString().isEmpty());
}

TEST_F(CliListing, LimitAndSinceChooseTheRowsAndABadOneIsRefusedNamingIt) {
    fill();
    auto iso = [](int n) { return sitebook::isoTime(kStart.addDays(n)); };
    EXPECT_EQ(takenAt(arrayOf(runCliSplit({"history", "--json", "--limit", "2"}))), (QStringList{iso(5), iso(4)}));
    EXPECT_EQ(takenAt(arrayOf(runCliSplit({"history", "--json", "--since", iso(3)}))),
              (QStringList{iso(5), iso(4), iso(3)}));
    EXPECT_EQ(takenAt(arrayOf(runCliSplit({"history", "--json", "--site", "Alfa", "--since", "2025-06-03T12:00Z",
                                           "--limit", "5"}))),
              (QStringList{iso(5), iso(4), iso(2)}));  // day 2 from its first millisecond
    // A day alone counts from its local start.
    const QDateTime localDay(QDate(2025, 6, 4), QTime(0, 0));
    int fromDay = 0;
    for (int n = 0; n < 6; ++n) fromDay += kStart.addDays(n) >= localDay;
    EXPECT_EQ(arrayOf(runCliSplit({"history", "--json", "--since", "2025-06-04"})).size(), fromDay);

    const CliSplitResult text = runCliSplit({"history", "--limit", "1"});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_EQ(text.output.count('\n'), 1);
    EXPECT_TRUE(text.output.contains(iso(5))) << text.output.toStdString();
    EXPECT_EQ(arrayOf(runCliSplit({"audit", "--json", "--since", iso(6)})).size(), 0);
    EXPECT_EQ(arrayOf(runCliSplit({"audit", "--json", "--since", iso(5)})).size(), 1);
    const CliSplitResult sites = runCliSplit({"sites", "--since", iso(4)});  // Alfa read and written then
    EXPECT_EQ(sites.output.split('\n', Qt::SkipEmptyParts).size(), 1);
    EXPECT_TRUE(sites.output.startsWith("Alfa\t")) << sites.output.toStdString();
    EXPECT_EQ(arrayOf(runCliSplit({"sites", "--json", "--limit", "1"}))[0].toObject()["name"].toString(), "Alfa");

    for (const QStringList& bad : {QStringList{"history", "--limit", "0"}, QStringList{"audit", "--limit", "két"},
                                   QStringList{"sites", "--since", "2025-13-01"},
                                   QStringList{"history", "--since", "tegnap"},
                                   QStringList{"history", "--since", "2025-06-01T25:00"}}) {
        const CliSplitResult r = runCliSplit(bad);
        EXPECT_EQ(r.exitCode, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(r.output.isEmpty());
        EXPECT_TRUE(r.errors.contains(bad[1] + " " + bad[2])) << r.errors.toStdString();
    }
}

TEST_F(CliListing, SitesAndAuditGoIntoAWorkbookTooAndTheAuditsIsTheOwnersAlone) {
    const SharedUmask shared;
    fill();
    auto sheetOf = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? workbookMember(f.readAll().toStdString(), "xl/worksheets/sheet1.xml")
                                           : std::string();
    };
    const QString sites = dir.filePath("helyszinek.xlsx"), audit = dir.filePath("irasok.xlsx");
    CliSplitResult r = runCliSplit({"sites", "--xlsx", sites});
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_TRUE(r.output.isEmpty());  // the workbook alone
    const std::string siteSheet = sheetOf(sites);
    EXPECT_NE(siteSheet.find("Alfa"), std::string::npos);
    EXPECT_NE(siteSheet.find("Béta"), std::string::npos);
    EXPECT_EQ(modeOf(sites), 0644);

    r = runCliSplit({"audit", "--json", "--xlsx", audit});
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_EQ(arrayOf(r).size(), 1);  // printed as well when asked
    const std::string writeSheet = sheetOf(audit);
    EXPECT_NE(writeSheet.find("Alfa"), std::string::npos);
    EXPECT_NE(writeSheet.find("GGGGGGGG"), std::string::npos);
    EXPECT_EQ(modeOf(audit), 0600);

    // A workbook that cannot be written is refused before the book is read.
    for (const char* command : {"sites", "audit"}) {
        r = runCliSplit({command, "--xlsx", dir.path()});
        EXPECT_EQ(r.exitCode, 2) << command;
        EXPECT_TRUE(r.output.isEmpty()) << command;
    }
}

}  // namespace corvanta::testing
