#pragma once
// The traffic log as a list for a view: one row a logged line, and after
// them the empty row where the next entry goes (the only row of an empty
// log). Every row can be typed over; nothing reads what was typed, and an
// entry replaces whatever stands in the last row. A view asks only for the
// rows it shows, so a hidden log costs the compact store alone. The lines are
// kept as they came; what the model gives out has the codes of the block
// frames masked unless raw codes were asked for.

#include <QAbstractListModel>

#include "ui/main/traffic_log_lines.h"

namespace corvanta {

class TrafficLogModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void logTraffic(const QString& text, qint64 timeMs);
    void clear();
    // Codes as they are in every row, the earlier ones too; off at first.
    void setRawCodes(bool raw);
    bool rawCodes() const { return rawCodes_; }

    // One entry a line, the last row after the last line break, as shown.
    QString text() const;
    const TrafficLogLines& lines() const { return lines_; }
    // Rows whose text a view asked for, for tests of what a hidden log does.
    qint64 rowsRead() const { return rowsRead_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    TrafficLogLines lines_;
    QString shownLine(qsizetype line) const;

    QString lastRow_;
    bool rawCodes_ = false;
    mutable qint64 rowsRead_ = 0;
};

}  // namespace corvanta
