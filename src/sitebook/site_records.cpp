#include "sitebook/site_records.h"

namespace corvanta::sitebook {

QString kindName(SnapshotKind kind) {
    switch (kind) {
    case SnapshotKind::Read: return QStringLiteral("read");
    case SnapshotKind::Written: return QStringLiteral("written");
    case SnapshotKind::File: return QStringLiteral("file");
    case SnapshotKind::Manual: return QStringLiteral("manual");
    }
    return {};
}

std::optional<SnapshotKind> kindFromName(const QString& name) {
    for (SnapshotKind k : {SnapshotKind::Read, SnapshotKind::Written, SnapshotKind::File, SnapshotKind::Manual}) {
        if (kindName(k) == name) return k;
    }
    return std::nullopt;
}

std::vector<WriteChange> changeRows(const ImageDiff& d) {
    std::vector<WriteChange> rows;
    for (const FieldChange& c : d.changes) {
        rows.push_back({QString::fromStdString(c.field->path), QString::fromStdString(c.field->caption),
                        QString::fromStdString(c.before), QString::fromStdString(c.after)});
    }
    if (d.otherBytes > 0)
        rows.push_back({QString::fromLatin1(kOtherBytesPath), QString::fromStdString(otherBytesLine(d.otherBytes)),
                        QString(), QString()});
    return rows;
}

QString changeLine(const WriteChange& c) {
    if (c.path == QLatin1String(kOtherBytesPath)) return c.caption;
    const fields::Field* field = fields::fieldAt(c.path.toStdString());
    const auto shown = [text = field && field->text](const QString& v) { return text ? '"' + v + '"' : v; };
    return c.caption + QStringLiteral(" (") + c.path + QStringLiteral("): ") + shown(c.before) +
           QString::fromUtf8(" → ") + shown(c.after);
}

QString isoTime(const QDateTime& t) {
    return t.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

}  // namespace corvanta::sitebook
