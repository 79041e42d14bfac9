// The site book's images: each stored once, named by its sha256, however
// many snapshots hold it; and the upgrade that moved the images of an older
// book, where each snapshot carried its own, into that one table.

#include <QCryptographicHash>

#include <vector>

#include "params/parameter_image.h"
#include "sitebook/book_rows.h"
#include "sitebook/site_book.h"

namespace corvanta::sitebook {
namespace {

QString sha256Of(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// So many old snapshots are read at a time while upgrading: a few hundred
// kilobytes of images.
constexpr int kMoveChunk = 256;

}  // namespace

std::optional<qint64> SiteBook::storeImage(const QByteArray& bytes, const QString& sha256) {
    const QString select = QStringLiteral("SELECT id, image FROM images WHERE sha256 = ?");
    auto found = run(select, {sha256});
    if (!found) return std::nullopt;
    if (!found->next()) {
        found->finish();
        // Another program storing the same image meanwhile makes this one
        // do nothing; its row serves both.
        if (!run(QStringLiteral("INSERT INTO images (sha256, image) VALUES (?, ?) ON CONFLICT (sha256) DO NOTHING"),
                 {sha256, bytes}))
            return std::nullopt;
        found = run(select, {sha256});
        if (!found) return std::nullopt;
        if (!found->next()) {
            fail(Failure::Other, QString::fromUtf8("a kép nem került a helyszínkönyvbe"));
            return std::nullopt;
        }
    }
    const qint64 id = found->value(0).toLongLong();
    const bool same = found->value(1).toByteArray() == bytes;
    found->finish();
    // The stored copy was changed behind the book's back (every snapshot of
    // it is refused meanwhile); the sha256 names these bytes, so they put it
    // right rather than leave the new snapshot pointing at a damaged image.
    if (!same && !run(QStringLiteral("UPDATE images SET image = ? WHERE id = ?"), {bytes, id})) return std::nullopt;
    return id;
}

bool SiteBook::moveImagesToTheirTable() {
    struct Old {
        qint64 id;
        QString sha256;
        QByteArray image;
    };
    qint64 last = 0;
    for (;;) {
        std::vector<Old> chunk;
        auto q = run(QStringLiteral("SELECT id, sha256, image FROM snapshots WHERE id > ? AND image_id IS NULL"
                                    " ORDER BY id LIMIT %1")
                         .arg(kMoveChunk),
                     {last});
        if (!q) return false;
        while (q->next()) chunk.push_back({q->value(0).toLongLong(), q->value(1).toString(), q->value(2).toByteArray()});
        q->finish();
        if (chunk.empty()) return true;
        for (const Old& old : chunk) {
            last = old.id;
            // One whose bytes no longer match its sha256 keeps both as they
            // are, and is refused when read as before: moved, it would pass
            // for the image its bytes now hold.
            if (std::size_t(old.image.size()) != kImageSize || sha256Of(old.image) != old.sha256) continue;
            // storeImage compares the stored copy with these bytes: only a
            // copy found equal lets the snapshot's own go.
            const auto imageId = storeImage(old.image, old.sha256);
            if (!imageId) return false;
            if (!run(QStringLiteral("UPDATE snapshots SET image_id = ?, sha256 = '', image = ? WHERE id = ?"),
                     {*imageId, noBytes(), old.id}))
                return false;
        }
    }
}

}  // namespace corvanta::sitebook
