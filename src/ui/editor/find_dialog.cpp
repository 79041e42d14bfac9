#include "ui/editor/find_dialog.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace corvanta {

FindDialog::FindDialog(std::function<ParameterValues()> values, std::function<void(const ControlAddress&)> open,
                       QWidget* parent)
    : QDialog(parent), values_(std::move(values)), open_(std::move(open)) {
  setObjectName("FormFind");
  setWindowTitle(QStringLiteral("Keresés"));
  auto* label = new QLabel(QStringLiteral("Felirat vagy érték (ékezet és kisbetű-nagybetű nem számít):"), this);
  text_ = new QLineEdit(this);
  text_->setObjectName("edFind");
  text_->setPlaceholderText(QStringLiteral("pl. belepesi, kovacs"));
  text_->setClearButtonEnabled(true);
  text_->installEventFilter(this);
  list_ = new QTreeWidget(this);
  list_->setObjectName("lvHits");
  list_->setColumnCount(4);
  list_->setHeaderLabels({QStringLiteral("Lap"), QStringLiteral("Sor"), QStringLiteral("Mező"), QStringLiteral("Érték")});
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setAllColumnsShowFocus(true);
  list_->header()->setStretchLastSection(true);
  list_->installEventFilter(this);
  const QFontMetrics fm(list_->font());
  list_->setMinimumSize(90 * fm.averageCharWidth(), 16 * fm.lineSpacing());
  count_ = new QLabel(this);
  count_->setObjectName("lbHitCount");
  auto* l = new QVBoxLayout(this);
  l->addWidget(label);
  l->addWidget(text_);
  l->addWidget(list_, 1);
  l->addWidget(count_);
  connect(text_, &QLineEdit::textChanged, this, &FindDialog::search);
  connect(list_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { openHit(list_->indexOfTopLevelItem(item)); });
  connect(list_, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item) { openHit(list_->indexOfTopLevelItem(item)); });
}

void FindDialog::start() {
  search();
  show();
  raise();
  activateWindow();
  text_->setFocus(Qt::ShortcutFocusReason);
  text_->selectAll();
}

void FindDialog::search() {
  hits_ = searchSettings(text_->text(), values_());
  list_->clear();
  QList<QTreeWidgetItem*> items;
  for (const SearchHit& h : hits_) items << new QTreeWidgetItem(QStringList{h.page, h.row, h.caption, h.value});
  list_->addTopLevelItems(items);
  for (int c = 0; c < 3; ++c) {
    list_->resizeColumnToContents(c);
    list_->setColumnWidth(c, list_->columnWidth(c) + 12);
  }
  if (!items.isEmpty()) list_->setCurrentItem(items.front());
  count_->setText(text_->text().trimmed().isEmpty() ? QString() : QStringLiteral("%1 találat").arg(hits_.size()));
}

void FindDialog::openHit(int index) {
  if (index < 0 || index >= int(hits_.size())) return;
  open_(hits_[std::size_t(index)].at);
}

bool FindDialog::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
    // Enter in the text opens the setting picked in the list; the arrows
    // move in the list without leaving the text.
    if (watched == text_) {
      if (enter) {
        openHit(list_->indexOfTopLevelItem(list_->currentItem()));
        return true;
      }
      if (k->key() == Qt::Key_Down || k->key() == Qt::Key_Up) {
        const int row = list_->indexOfTopLevelItem(list_->currentItem()) + (k->key() == Qt::Key_Down ? 1 : -1);
        if (QTreeWidgetItem* item = list_->topLevelItem(row)) list_->setCurrentItem(item);
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, e);
}

}  // namespace corvanta
