// corvanta-cli events with a site: each load merged into the site's event
// history once, and the history printed from the book alone, from a date
// and to a limit, as JSON, comma-separated CSV and a workbook.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "tests/link/sim_process.h"
#include "tests/support/qt_core_app.h"
#include "tests/support/workbook_xml.h"

namespace corvanta::testing {
namespace {

const QString kSite = QString::fromUtf8("Kovács ház");

class CliEventHistory : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtCoreApp();
        ASSERT_TRUE(sim.ready());
        qputenv("CORVANTA_SITEBOOK", sim.file("book/sitebook.sqlite").toUtf8());
    }
    void TearDown() override { qunsetenv("CORVANTA_SITEBOOK"); }
    CliSplitResult onModule(QStringList args) {
        return runCliSplit(args << "--port" << sim.ptyPath() << "--code" << "1234" << "--site" << kSite);
    }
    QJsonArray history(QStringList more = {}) {
        const CliSplitResult r = runCliSplit(QStringList{"events", "--site", kSite, "--history", "--json"} + more);
        EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(r.output.toUtf8(), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << r.output.toStdString();
        EXPECT_EQ(doc.object()["site"].toString(), kSite);
        return doc.object()["events"].toArray();
    }

    SimProcess sim;
};

int newIn(const QString& line) {
    const auto m = QRegularExpression(QString::fromUtf8("(\\d+) új esemény")).match(line);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

}  // namespace

TEST_F(CliEventHistory, EachLoadAddsOnlyTheEntriesTheHistoryDoesNotHoldYet) {
    CliSplitResult r = onModule({"events", "--csv"});
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    const int listed = int(r.output.count(u'\n')) - 1;
    ASSERT_GT(listed, 0);
    EXPECT_EQ(newIn(r.errors), listed) << r.errors.toStdString();

    r = onModule({"events", "--json"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(newIn(r.errors), 0) << r.errors.toStdString();
    ASSERT_EQ(onModule({"arm", "1"}).exitCode, 0);
    r = onModule({"events"});
    EXPECT_GE(newIn(r.errors), 1) << r.errors.toStdString();

    const QJsonArray all = history();
    EXPECT_EQ(all.size(), listed + newIn(r.errors));
    const QRegularExpression minute(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d$"));
    for (int i = 0; i < all.size(); ++i) {
        const QJsonObject e = all[i].toObject();
        EXPECT_TRUE(minute.match(e["time"].toString()).hasMatch()) << e["time"].toString().toStdString();
        EXPECT_TRUE(e["loadedAt"].toString().endsWith(u'Z'));
        if (i > 0) {
            EXPECT_GE(all[i - 1].toObject()["time"].toString(), e["time"].toString());
        }
    }

    EXPECT_EQ(history({"--limit", "2"}).size(), 2);
    const QString since = all[1].toObject()["time"].toString();
    int newer = 0;
    for (const auto& e : all) newer += e.toObject()["time"].toString() >= since;
    EXPECT_EQ(history({"--since", since}).size(), newer);
    EXPECT_EQ(history({"--since", "2999-01-01"}).size(), 0);
}

TEST_F(CliEventHistory, TheHistoryIsCommaSeparatedForScriptsAndAWorkbookOnRequest) {
    ASSERT_EQ(onModule({"events"}).exitCode, 0);
    CliSplitResult r = runCliSplit({"events", "--site", kSite, "--history", "--csv"});
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_FALSE(r.output.startsWith(QChar(0xFEFF)));
    EXPECT_FALSE(r.output.contains(u';'));
    EXPECT_FALSE(r.output.contains(u'\r'));
    const QStringList lines = r.output.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 1);
    EXPECT_EQ(lines[0], QString::fromUtf8("Időpont,Esemény,Zóna / Felhasználó,T1,T2,T3,T4,S1,S2,S3,S4,Közp,"
                                          "Státusz,Betöltve"));

    const QString workbook = sim.file("napló.xlsx");
    r = runCliSplit({"events", "--site", kSite, "--history", "--xlsx", workbook});
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_TRUE(r.output.isEmpty());
    QFile f(workbook);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const std::string sheet = workbookMember(f.readAll().toStdString(), "xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find(">Zóna / Felhasználó<"), std::string::npos);
    std::size_t rows = 0;
    for (auto at = sheet.find("<row "); at != std::string::npos; at = sheet.find("<row ", at + 1)) ++rows;
    EXPECT_EQ(rows, std::size_t(lines.size()));

    // The list itself as a workbook, the times as dates.
    r = onModule({"events", "--xlsx", sim.file("lista.xlsx")});
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    QFile list(sim.file("lista.xlsx"));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    const std::string listSheet = workbookMember(list.readAll().toStdString(), "xl/worksheets/sheet1.xml");
    EXPECT_NE(listSheet.find(">Sorszám<"), std::string::npos);
    EXPECT_NE(listSheet.find("<c r=\"B2\" s="), std::string::npos) << listSheet.substr(0, 2000);
}

TEST_F(CliEventHistory, TheHistoryRefusesAMissingSiteABadDateOrLimitAndALink) {
    ASSERT_EQ(onModule({"events"}).exitCode, 0);
    for (const QStringList& bad :
         {QStringList{"events", "--history"}, {"events", "--site", "Nincs ilyen", "--history"},
          {"events", "--site", kSite, "--history", "--since", "2025-02-30"},
          {"events", "--site", kSite, "--history", "--since", "tegnap"},
          {"events", "--site", kSite, "--history", "--limit", "0"},
          {"events", "--site", kSite, "--history", "--json", "--csv"},
          {"events", "--site", kSite, "--history", "--port", sim.ptyPath()},
          {"events", "--site", kSite, "--since", "2025-01-01", "--port", sim.ptyPath()}}) {
        const CliSplitResult r = runCliSplit(bad);
        EXPECT_EQ(r.exitCode, 2) << bad.join(' ').toStdString() << "\n" << r.errors.toStdString();
        EXPECT_TRUE(r.output.isEmpty()) << bad.join(' ').toStdString();
    }
}

}  // namespace corvanta::testing
