#include "sitebook/book_rows.h"

namespace corvanta::sitebook {

const QString kSnapshotColumns = QStringLiteral(
    "s.id, s.site_id, si.name, s.taken_at, s.kind, s.module_version, s.data_version,"
    " COALESCE(i.sha256, s.sha256), s.note");

const QString kSnapshotImageColumn = QStringLiteral("COALESCE(i.image, s.image)");

SnapshotInfo snapshotInfoFrom(const SqlRows& q) {
    SnapshotInfo info;
    info.id = q.value(0).toLongLong();
    info.siteId = q.value(1).toLongLong();
    info.site = q.value(2).toString();
    info.takenAt = timeFrom(q.value(3));
    info.kind = kindFromName(q.value(4).toString()).value_or(SnapshotKind::Manual);
    info.moduleVersion = q.value(5).toString();
    info.dataVersion = q.value(6).toInt();
    info.sha256 = q.value(7).toString();
    info.note = q.value(8).toString();
    return info;
}

Who whoFrom(const SqlRows& q, int first) {
    return {q.value(first).toString(), q.value(first + 1).toString(), q.value(first + 2).toString()};
}

const QString kSiteColumns = QStringLiteral(
    "si.id, si.name, si.address, si.notes, si.serial_port, si.modem_number, si.tcp_host, si.tcp_port");

Site siteFrom(const SqlRows& q) {
    Site s;
    s.id = q.value(0).toLongLong();
    s.name = q.value(1).toString();
    s.address = q.value(2).toString();
    s.notes = q.value(3).toString();
    s.serialPort = q.value(4).toString();
    s.modemNumber = q.value(5).toString();
    s.tcpHost = q.value(6).toString();
    s.tcpPort = q.value(7).toInt();
    return s;
}

QDateTime timeFrom(const QVariant& v) { return QDateTime::fromString(v.toString(), Qt::ISODateWithMs).toUTC(); }

QVariant textValue(const QString& s) { return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s); }

QVariant optionalId(std::optional<qint64> id) {
    return id ? QVariant(*id) : QVariant(QMetaType(QMetaType::LongLong));
}

}  // namespace corvanta::sitebook
