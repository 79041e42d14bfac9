#pragma once
// The site book's grids: rows of records to look at, chosen a whole row at
// a time, never edited in place.

#include <QStringList>

class QTableWidget;
class QWidget;

namespace corvanta {

// An empty grid with the columns `titles`, its object name `name`.
QTableWidget* makeRecordGrid(QWidget* parent, const char* name, const QStringList& titles);

}  // namespace corvanta
