// Times merging one day's event lists of 1 000 sites into their event
// histories: each site's list of 90 entries, of which the day's are new and
// the rest held from the day before. Goal: all of them within a second.
//   corvanta-sitebook-events-bench [SITES [NEW_A_DAY]]
// $CORVANTA_BENCH_SITEBOOK names an empty server book instead of a file.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

#include "sitebook/site_book.h"

using namespace corvanta;
using namespace corvanta::sitebook;

namespace {

constexpr int kListEntries = 90;
constexpr double kGoalSeconds = 1.0;

// The module's list at the end of `day`: the newest 90 entries of a site
// that logs `perDay` a day, spread over the day, kinds and users varied.
std::vector<DatedEvent> listAt(int day, int perDay) {
    std::vector<DatedEvent> out;
    for (int i = 0; i < kListEntries; ++i) {
        const int n = day * perDay + perDay - 1 - i;  // newest first
        const int d = n / perDay, within = n % perDay;
        const int minuteOfDay = within * (24 * 60) / perDay;
        DatedEvent e;
        e.at = {2026, 1 + d / 28, 1 + d % 28, minuteOfDay / 60, minuteOfDay % 60};
        const int kind = 27 + n % 4;  // arming and disarming of the partitions
        const int user = 1 + n % 12;
        e.entry = {std::uint8_t(kind), std::uint8_t(e.at.month << 4 | user), std::uint8_t(e.at.day),
                   std::uint8_t(e.at.hour), std::uint8_t(e.at.minute), 0, 0, 0};
        e.subject = std::to_string(user) + ". Felhasználó";
        out.push_back(std::move(e));
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int sites = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int perDay = argc > 2 ? std::atoi(argv[2]) : 20;
    if (sites <= 0 || perDay <= 0 || perDay > kListEntries) {
        std::fprintf(stderr, "usage: corvanta-sitebook-events-bench [SITES [NEW_A_DAY (1..90)]]\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString server = qEnvironmentVariable("CORVANTA_BENCH_SITEBOOK");
    const QString path = server.isEmpty() ? dir.filePath("sitebook.sqlite") : server;
    SiteBook book;
    if (!book.open(path)) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(SiteBook::displayName(path)), qPrintable(book.error()));
        return 1;
    }
    // Ten days of history already, as the book holds after ten daily loads.
    std::vector<qint64> ids;
    for (int s = 0; s < sites; ++s) {
        Site site;
        site.name = QStringLiteral("Helyszín %1").arg(s + 1, 4, 10, QLatin1Char('0'));
        if (!book.saveSite(site)) return 1;
        ids.push_back(site.id);
        for (int day = 0; day < 10; ++day) {
            if (!book.mergeEvents(site.id, listAt(day, perDay))) {
                std::fprintf(stderr, "%s\n", qPrintable(book.error()));
                return 1;
            }
        }
    }
    const auto today = listAt(10, perDay);
    QElapsedTimer timer;
    timer.start();
    qint64 added = 0;
    for (qint64 id : ids) {
        const auto merge = book.mergeEvents(id, today);
        if (!merge) {
            std::fprintf(stderr, "%s\n", qPrintable(book.error()));
            return 1;
        }
        added += merge->added;
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const bool ok = seconds <= kGoalSeconds && added == qint64(sites) * perDay;
    std::printf("%s: one day's lists of %d sites (%d entries each, %lld new in all) merged in %.3f s   goal %g s   "
                "ratio %.3f%s\n",
                server.isEmpty() ? "SQLite" : "PostgreSQL", sites, kListEntries, static_cast<long long>(added), seconds,
                kGoalSeconds, seconds / kGoalSeconds, ok ? "" : "   MISSED");
    return ok ? 0 : 1;
}
