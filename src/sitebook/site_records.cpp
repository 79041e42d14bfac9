#include "sitebook/site_records.h"

namespace corvanta::sitebook {

QString whoLine(const Who& who) {
    QString machine = who.osUser;
    if (!who.host.isEmpty()) machine += QStringLiteral("@") + who.host;
    if (who.dbRole.isEmpty()) return machine;
    return machine.isEmpty() ? who.dbRole : who.dbRole + QStringLiteral(" (os: ") + machine + QStringLiteral(")");
}

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

QString siteNameProblem(const QString& name) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) return QString::fromUtf8("a helyszín neve üres");
    if (trimmed.size() > kMaxSiteNameLength)
        return QString::fromUtf8("a helyszín neve %1 karakter hosszú, legfeljebb %2 lehet")
            .arg(QString::number(trimmed.size()), QString::number(kMaxSiteNameLength));
    // A NUL would be cut off by the server and by every C string on the way;
    // a line end or tab breaks the lines the names are listed in.
    for (const QChar c : trimmed) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QString::fromUtf8("a helyszín neve vezérlőkaraktert tartalmaz (U+%1)")
                .arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')));
    }
    return {};
}

QString batchKindName(BatchKind kind) {
    return kind == BatchKind::Undo ? QStringLiteral("undo") : QStringLiteral("apply");
}

std::optional<BatchKind> batchKindFromName(const QString& name) {
    if (name == QLatin1String("apply")) return BatchKind::Apply;
    if (name == QLatin1String("undo")) return BatchKind::Undo;
    return std::nullopt;
}

QString writeResultName(const WriteRecord& w) {
    if (!w.settled) return QStringLiteral("unknown");
    return w.ok ? QStringLiteral("ok") : QStringLiteral("failed");
}

QString isoTime(const QDateTime& t) {
    return t.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

}  // namespace corvanta::sitebook
