#include "ui/main/traffic_log_model.h"

#include <QDateTime>

#include "link/traffic_codes.h"

namespace corvanta {

void TrafficLogModel::logTraffic(const QString& text, qint64 timeMs) {
    const int row = int(lines_.size());
    beginInsertRows(QModelIndex(), row, row);
    lines_.append(text, timeMs);
    endInsertRows();
    if (!lastRow_.isEmpty()) {
        lastRow_.clear();
        const QModelIndex last = index(row + 1);
        emit dataChanged(last, last);
    }
}

void TrafficLogModel::clear() {
    beginResetModel();
    lines_.clear();
    lastRow_.clear();
    endResetModel();
}

void TrafficLogModel::setRawCodes(bool raw) {
    if (raw == rawCodes_) return;
    rawCodes_ = raw;
    if (lines_.size() > 0) emit dataChanged(index(0), index(int(lines_.size()) - 1));
}

QString TrafficLogModel::shownLine(qsizetype line) const {
    const QString text = lines_.text(line);
    return rawCodes_ ? text : QString::fromStdString(maskTrafficCodes(text.toStdString()));
}

QString TrafficLogModel::text() const {
    QString all;
    for (qsizetype n = 0; n < lines_.size(); ++n) all += shownLine(n) + QLatin1Char('\n');
    return all + lastRow_;
}

int TrafficLogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(lines_.size()) + 1;
}

QVariant TrafficLogModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() > lines_.size()) return {};
    const bool lastRow = index.row() == lines_.size();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        ++rowsRead_;
        return lastRow ? lastRow_ : shownLine(index.row());
    case Qt::ToolTipRole:
        if (lastRow) return {};
        return QDateTime::fromMSecsSinceEpoch(lines_.timeMs(index.row())).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    default: return {};
    }
}

bool TrafficLogModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.row() > lines_.size()) return false;
    if (index.row() == lines_.size())
        lastRow_ = value.toString();
    else
        lines_.replace(index.row(), value.toString());
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags TrafficLogModel::flags(const QModelIndex& index) const {
    return QAbstractListModel::flags(index) | Qt::ItemIsEditable;
}

}  // namespace corvanta
