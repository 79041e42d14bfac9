// The site book of a service company after years: SITES sites, each backed
// up MONTHS times, where 5 % of the backups find one field changed since the
// one before. Prints the bytes on disk for each snapshot row (goal 300),
// the history of one site (20 ms), and the peak resident memory of
// corvanta-cli printing the whole book's history as JSON (64 MB) and as text.
//   corvanta-sitebook-years-bench CORVANTA_CLI [SITES [MONTHS]]   (10 000 x 100)
// $CORVANTA_BENCH_SITEBOOK names an empty PostgreSQL database to use instead
// of a file of its own.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>

#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "params/parameter_codec.h"
#include "sitebook/schema.h"
#include "sitebook/site_book.h"

using namespace corvanta;
using namespace corvanta::sitebook;

namespace {

double msSince(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

bool report(const char* name, double value, double goal, const char* unit) {
    std::printf("%-44s %10.1f %-5s goal %6g %-5s ratio %.3f%s\n", name, value, unit, goal, unit, value / goal,
                value <= goal ? "" : "   MISSED");
    return value <= goal;
}

// A configured module: named zones, and the delays and relays an installer
// sets, different from site to site.
ParameterImage siteImage(std::mt19937& random) {
    ParameterImage image;
    image.fill(0xFF);
    ParameterValues v = decode(image);
    for (int z = 0; z < kZoneCount; ++z) {
        v.zones[std::size_t(z)].name = "Zona " + std::to_string(z + 1) + " " + std::to_string(random() % 1000);
        v.zones[std::size_t(z)].entryDelay = int(random() % 60);
    }
    encode(v, image);
    return image;
}

// One field changed, as a user or installer changes one between backups.
void changeOneField(ParameterImage& image, std::mt19937& random) {
    ParameterValues v = decode(image);
    auto& zone = v.zones[random() % kZoneCount];
    zone.entryDelay = (zone.entryDelay + 1 + int(random() % 50)) % 60;
    encode(v, image);
}

struct Run {
    int status = -1;
    double seconds = 0;
    long maxRssKb = 0;
};

// The program with standard output thrown away; its peak resident memory
// as the kernel counted it.
Run runCli(const QString& cli, const QStringList& args) {
    std::vector<QByteArray> words{cli.toLocal8Bit()};
    for (const QString& a : args) words.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    QElapsedTimer t;
    t.start();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    Run r;
    int status = 0;
    rusage usage{};
    if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.maxRssKb = usage.ru_maxrss;
    }
    r.seconds = msSince(t) / 1000;
    return r;
}

// The bytes the book's tables and their indexes take.
qint64 bookBytes(const QString& path, bool vacuum) {
    const QString name = QStringLiteral("bench-raw");
    qint64 bytes = -1;
    {
        QSqlDatabase db;
        if (SiteBook::isServerUrl(path)) {
            const QUrl url(path);
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            db.setHostName(url.host());
            db.setPort(url.port(5432));
            db.setUserName(url.userName());
            db.setDatabaseName(url.path().mid(1));
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
        }
        if (db.open()) {
            QSqlQuery q(db);
            if (SiteBook::isServerUrl(path)) {
                // Tables with their indexes and out-of-line storage.
                if (q.exec(QStringLiteral("SELECT SUM(pg_total_relation_size(quote_ident(table_name)::regclass))"
                                          " FROM information_schema.tables WHERE table_schema = current_schema()")) &&
                    q.next())
                    bytes = q.value(0).toLongLong();
            } else {
                if (vacuum) q.exec(QStringLiteral("VACUUM"));
                // The pages in use: free pages left by the upgrade or
                // deletions are not the rows' own.
                qint64 pages = 0, free = 0, size = 0;
                if (q.exec(QStringLiteral("PRAGMA page_count")) && q.next()) pages = q.value(0).toLongLong();
                if (q.exec(QStringLiteral("PRAGMA freelist_count")) && q.next()) free = q.value(0).toLongLong();
                if (q.exec(QStringLiteral("PRAGMA page_size")) && q.next()) size = q.value(0).toLongLong();
                bytes = (pages - free) * size;
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: corvanta-sitebook-years-bench CORVANTA_CLI [SITES [MONTHS]]\n");
        return 2;
    }
    const QString cli = QString::fromLocal8Bit(argv[1]);
    const int siteCount = argc > 2 ? std::atoi(argv[2]) : 10000;
    const int months = argc > 3 ? std::atoi(argv[3]) : 100;
    QTemporaryDir dir;
    const QString server = qEnvironmentVariable("CORVANTA_BENCH_SITEBOOK");
    const bool onServer = SiteBook::isServerUrl(server);
    const QString path = onServer ? server : dir.filePath(QStringLiteral("sitebook.sqlite"));
    std::mt19937 random(11);
    std::vector<qint64> siteIds;
    qint64 rows = 0;

    QElapsedTimer fill;
    fill.start();
    {
        SiteBook book;
        if (!book.open(path)) {
            std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(SiteBook::displayName(path)), qPrintable(book.error()));
            return 1;
        }
        QDateTime now;
        book.setClock([&now] { return now; });
        std::vector<ParameterImage> images;
        for (int s = 0; s < siteCount; ++s) {
            Site site;
            site.name = QStringLiteral("Helyszín %1").arg(s + 1, 5, 10, QLatin1Char('0'));
            site.address = QStringLiteral("%1. utca %2.").arg(s % 300 + 1).arg(s % 97 + 1);
            site.serialPort = QStringLiteral("/dev/ttyUSB0");
            if (!book.saveSite(site)) return 1;
            siteIds.push_back(site.id);
            images.push_back(siteImage(random));
        }
        // Month by month, every site's backup as the timer takes them.
        for (int m = 0; m < months; ++m) {
            for (int s = 0; s < siteCount; ++s) {
                if (m > 0 && random() % 100 < 5) changeOneField(images[std::size_t(s)], random);
                now = QDateTime(QDate(2018, 1, 1), QTime(2, 0), Qt::UTC).addMonths(m).addSecs(s * 3);
                if (!book.addSnapshot(siteIds[std::size_t(s)], SnapshotKind::Read, images[std::size_t(s)],
                                      QStringLiteral("GSM-Corvanta 2.31"), 2)) {
                    std::fprintf(stderr, "%s\n", qPrintable(book.error()));
                    return 1;
                }
                ++rows;
            }
            std::fprintf(stderr, "\r%d/%d months", m + 1, months);
        }
        std::fprintf(stderr, "\n");
    }
    const double fillSeconds = msSince(fill) / 1000;
    std::printf("%s book: %d sites, %lld snapshots stored in %.0f s (%.0f a second)\n",
                onServer ? "PostgreSQL" : "SQLite", siteCount, rows, fillSeconds, double(rows) / fillSeconds);
    bool met = true;
    const qint64 asFilled = bookBytes(path, false);
    if (!onServer) std::printf("file on disk %.1f MB\n", double(QFileInfo(path).size()) / 1e6);
    met = report("bytes on disk per snapshot row", double(asFilled) / double(rows), 300, "B") && met;
    if (!onServer) {
        const qint64 vacuumed = bookBytes(path, true);
        std::printf("%-44s %10.1f B\n", "  the same after VACUUM", double(vacuumed) / double(rows));
    }

    {
        SiteBook book;
        if (!book.open(path)) return 1;
        std::vector<double> ms;
        for (int run = 0; run < 200; ++run) {
            const qint64 site = siteIds[std::size_t(random()) % siteIds.size()];
            QElapsedTimer t;
            t.start();
            const auto h = book.history(site);
            ms.push_back(msSince(t));
            if (h.size() != std::size_t(months)) {
                std::fprintf(stderr, "a site's history holds %zu snapshots, not %d\n", h.size(), months);
                return 1;
            }
        }
        std::sort(ms.begin(), ms.end());
        std::printf("history of one site: median %.2f ms, worst %.2f ms\n", ms[ms.size() / 2], ms.back());
        met = report("history of one site, 95th percentile", ms[ms.size() * 95 / 100], 20, "ms") && met;
    }

    // An older book, each snapshot with its own image, upgraded on its
    // first open: how long an installer waits once. A tenth of the sites.
    if (!onServer) {
        const QString older = dir.filePath(QStringLiteral("older.sqlite"));
        const int oldSites = std::max(siteCount / 10, 1);
        {
            SiteBook book;
            if (!book.open(older, SiteBook::kBusyTimeoutMs, kImagesStoredOnceStep - 1)) return 1;
            std::vector<ParameterImage> images;
            std::vector<qint64> ids;
            for (int s = 0; s < oldSites; ++s) {
                Site site;
                site.name = QStringLiteral("Régi %1").arg(s + 1);
                if (!book.saveSite(site)) return 1;
                ids.push_back(site.id);
                images.push_back(siteImage(random));
            }
            for (int m = 0; m < months; ++m) {
                for (int s = 0; s < oldSites; ++s) {
                    if (m > 0 && random() % 100 < 5) changeOneField(images[std::size_t(s)], random);
                    if (!book.addSnapshot(ids[std::size_t(s)], SnapshotKind::Read, images[std::size_t(s)], {}, 2))
                        return 1;
                }
            }
        }
        QElapsedTimer t;
        t.start();
        SiteBook book;
        if (!book.open(older)) {
            std::fprintf(stderr, "upgrade failed: %s\n", qPrintable(book.error()));
            return 1;
        }
        std::printf("upgrading an older book of %d snapshots: %.1f s\n", oldSites * months, msSince(t) / 1000);
    }

    qputenv("CORVANTA_SITEBOOK", path.toUtf8());
    const Run json = runCli(cli, {QStringLiteral("history"), QStringLiteral("--json")});
    const Run text = runCli(cli, {QStringLiteral("history")});
    if (json.status != 0 || text.status != 0) {
        std::fprintf(stderr, "corvanta-cli history failed (%d, %d)\n", json.status, text.status);
        return 1;
    }
    std::printf("whole-book history: JSON in %.1f s, text in %.1f s\n", json.seconds, text.seconds);
    met = report("whole-book history as JSON, peak resident", double(json.maxRssKb) / 1024, 64, "MB") && met;
    std::printf("%-44s %10.1f MB\n", "whole-book history as text, peak resident", double(text.maxRssKb) / 1024);
    return met ? 0 : 1;
}
