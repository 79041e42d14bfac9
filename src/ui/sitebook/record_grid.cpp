#include "ui/sitebook/record_grid.h"

#include <QHeaderView>
#include <QTableWidget>

namespace corvanta {

QTableWidget* makeRecordGrid(QWidget* parent, const char* name, const QStringList& titles) {
    auto* grid = new QTableWidget(0, int(titles.size()), parent);
    grid->setObjectName(name);
    grid->setHorizontalHeaderLabels(titles);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

}  // namespace corvanta
