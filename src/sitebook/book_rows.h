#pragma once
// How the site book reads its rows back: the columns a snapshot's or a
// site's row is selected with, and the records made from them. Shared by
// the parts of SiteBook that read snapshots and sites.

#include <optional>

#include <QDateTime>
#include <QString>
#include <QVariant>

#include "sitebook/site_records.h"
#include "sitebook/sql_rows.h"

namespace corvanta::sitebook {

// From snapshots s, sites si and images i (LEFT JOIN on s.image_id): a
// snapshot of an image stored once has its sha256 there, one left as the
// upgrade found it (its bytes did not match) its own.
extern const QString kSnapshotColumns;
inline constexpr int kSnapshotColumnCount = 9;
// The image's bytes, of the one or the other.
extern const QString kSnapshotImageColumn;
SnapshotInfo snapshotInfoFrom(const SqlRows& q);

// Who made a row: the columns SiteBook::whoSelect() lists, from `first` on.
inline constexpr int kWhoColumnCount = 3;
Who whoFrom(const SqlRows& q, int first);

extern const QString kSiteColumns;
Site siteFrom(const SqlRows& q);

// What a snapshot's own image column holds once its image is in the images
// table (its sha256 column holds ''): nothing, which takes no room. Not
// NULL: the columns were made NOT NULL, and SQLite keeps that until a table
// is rebuilt.
inline QVariant noBytes() { return QVariant(QByteArray("", 0)); }

// Stored with a "Z": read back as UTC.
QDateTime timeFrom(const QVariant& v);

// A null QString would be bound as SQL NULL; the text columns hold ''.
QVariant textValue(const QString& s);
// No id binds as a NULL of the id columns' type.
QVariant optionalId(std::optional<qint64> id);

}  // namespace corvanta::sitebook
