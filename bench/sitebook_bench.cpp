// Times the site book at the size of a busy installer's years: 1 000 sites
// and 20 000 snapshots. Prints the history of one site, the field diff of two
// snapshots, storing a snapshot and a write, and the file size per snapshot.
//   corvanta-sitebook-bench [SITES [SNAPSHOTS]]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "params/image_diff.h"
#include "params/parameter_codec.h"
#include "sitebook/site_book.h"

using namespace corvanta;
using namespace corvanta::sitebook;

namespace {

struct Figure {
    const char* name;
    std::vector<double> ms;
};

// The 95th percentile is held against the goal: a site book that is quick
// only on average still keeps an installer waiting.
bool print(const Figure& f, double limitMs) {
    std::vector<double> v = f.ms;
    std::sort(v.begin(), v.end());
    const double p95 = v[v.size() * 95 / 100];
    std::printf("%-38s median %7.3f ms   95%% %7.3f ms   worst %7.3f ms   goal %g ms   ratio %.3f%s\n", f.name,
                v[v.size() / 2], p95, v.back(), limitMs, p95 / limitMs, p95 <= limitMs ? "" : "   MISSED");
    return p95 <= limitMs;
}

double msSince(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

// A plausible image: an erased memory with names, delays and a few relay
// rows changed at random, so neighbouring snapshots differ in a few fields.
ParameterImage someImage(std::mt19937& random) {
    static const ParameterImage base = [] {
        ParameterImage image;
        image.fill(0xFF);
        ParameterValues v = decode(image);
        for (int z = 0; z < kZoneCount; ++z) v.zones[std::size_t(z)].name = "Zona " + std::to_string(z + 1);
        encode(v, image);
        return image;
    }();
    ParameterImage image = base;
    for (int i = 0; i < 6; ++i) image[random() % kImageSize] = std::uint8_t(random());
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int siteCount = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int snapshotCount = argc > 2 ? std::atoi(argv[2]) : 20000;
    QTemporaryDir dir;
    // A server book named by $CORVANTA_BENCH_SITEBOOK (an empty database:
    // never the installers' own book), else a file of its own.
    const QString server = qEnvironmentVariable("CORVANTA_BENCH_SITEBOOK");
    const QString path =
        SiteBook::isServerUrl(server) ? server : dir.filePath(QStringLiteral("sitebook.sqlite"));
    std::mt19937 random(7);
    std::vector<qint64> siteIds;

    QElapsedTimer fill;
    fill.start();
    {
        SiteBook book;
        if (!book.open(path)) {
            std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(path), qPrintable(book.error()));
            return 1;
        }
        QDateTime t(QDate(2020, 1, 1), QTime(8, 0), Qt::UTC);
        book.setClock([&t] { return t = t.addSecs(3600); });
        for (int s = 0; s < siteCount; ++s) {
            Site site;
            site.name = QStringLiteral("Helyszín %1").arg(s + 1, 4, 10, QLatin1Char('0'));
            site.serialPort = QStringLiteral("/dev/ttyUSB0");
            if (!book.saveSite(site)) return 1;
            siteIds.push_back(site.id);
        }
        for (int n = 0; n < snapshotCount; ++n) {
            if (!book.addSnapshot(siteIds[std::size_t(random()) % siteIds.size()], SnapshotKind::Read,
                                  someImage(random), QStringLiteral("GSM-Corvanta 2.31"), 2))
                return 1;
        }
    }  // closing the last connection folds the journal into the file
    std::printf("filled %d sites and %d snapshots in %.1f s\n", siteCount, snapshotCount, msSince(fill) / 1000);
    std::printf("%.0f snapshots stored a second\n", snapshotCount / (msSince(fill) / 1000));
    if (!SiteBook::isServerUrl(path)) {
        const qint64 bytes = QFileInfo(path).size();
        std::printf("file size %.1f MB, %.0f bytes per snapshot (the image itself is %zu)\n", double(bytes) / 1e6,
                    double(bytes) / snapshotCount, kImageSize);
    }

    SiteBook book;
    if (!book.open(path)) return 1;
    Figure history{"history of one site", {}};
    Figure diffOnly{"diff of two snapshots (in memory)", {}};
    Figure loadAndDiff{"diff of two snapshots (read + diff)", {}};
    Figure store{"storing a snapshot", {}};
    Figure write{"recording a write with its changes", {}};
    std::size_t shown = 0;
    for (int run = 0; run < 200; ++run) {
        const qint64 site = siteIds[std::size_t(random()) % siteIds.size()];
        QElapsedTimer t;
        t.start();
        const auto h = book.history(site);
        history.ms.push_back(msSince(t));
        shown += h.size();
        if (h.size() < 2) continue;

        t.restart();
        const auto a = book.snapshot(h[1].id);
        const auto b = book.snapshot(h[0].id);
        QElapsedTimer d;
        d.start();
        const ImageDiff changes = diff(a->image, b->image);
        diffOnly.ms.push_back(msSince(d));
        loadAndDiff.ms.push_back(msSince(t));
        if (changes.equal()) std::printf("(two equal snapshots)\n");
    }
    for (int run = 0; run < 200; ++run) {
        const qint64 site = siteIds[std::size_t(random()) % siteIds.size()];
        const ParameterImage image = someImage(random);
        QElapsedTimer t;
        t.start();
        if (run % 2 == 0) {
            if (!book.addSnapshot(site, SnapshotKind::Manual, image, {}, 2)) return 1;
            store.ms.push_back(msSince(t));
        } else {
            if (!book.recordWrite(site, true, QStringLiteral("GGGGGGGG"), image, {}, 2)) return 1;
            write.ms.push_back(msSince(t));
        }
    }
    std::printf("(%.1f snapshots in a site's history on average)\n", double(shown) / double(history.ms.size()));
    bool met = print(history, 20);
    met = print(diffOnly, 1) && met;
    met = print(loadAndDiff, 1) && met;
    met = print(store, 10) && met;
    met = print(write, 10) && met;
    return met ? 0 : 1;
}
