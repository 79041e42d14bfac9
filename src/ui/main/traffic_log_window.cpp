#include "ui/main/traffic_log_window.h"

#include <QAction>
#include <QClipboard>
#include <QDateTime>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QListView>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/widgets/escape_closes.h"

namespace corvanta {

namespace {
constexpr int kWidth = 383;
constexpr int kHeight = 495;
constexpr int kScreenMargin = 20;
constexpr int kRowPadding = 8;

// Every row as wide as the longest line, so the list scrolls across to the
// end of it: the list takes one row's size for all of them.
class LineDelegate : public QStyledItemDelegate {
public:
    LineDelegate(const TrafficLogLines& lines, QObject* parent) : QStyledItemDelegate(parent), lines_(lines) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const int longest = int(lines_.longest()) * option.fontMetrics.horizontalAdvance(QLatin1Char('0'));
        size.setWidth(std::max(size.width(), longest + kRowPadding));
        return size;
    }

private:
    const TrafficLogLines& lines_;
};
}  // namespace

TrafficLogWindow::TrafficLogWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), reports_(this, QStringLiteral("Soros kapcsolat részletei"), QStringLiteral("forgalom")) {
    setObjectName("SerialForm");
    setWindowTitle(QStringLiteral("Soros kapcsolat részletei"));

    rxMemo_ = new QListView(this);
    rxMemo_->setObjectName("RxMemo");
    rxMemo_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    rxMemo_->setUniformItemSizes(true);
    rxMemo_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    rxMemo_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    rxMemo_->setItemDelegate(new LineDelegate(model_.lines(), rxMemo_));
    rxMemo_->setModel(&model_);
    auto* copy = new QAction(QStringLiteral("Másolás"), rxMemo_);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copy, &QAction::triggered, this, &TrafficLogWindow::copySelection);
    auto* selectAll = new QAction(QStringLiteral("Az összes kijelölése"), rxMemo_);
    selectAll->setShortcut(QKeySequence::SelectAll);
    selectAll->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(selectAll, &QAction::triggered, rxMemo_, &QListView::selectAll);
    rxMemo_->addActions({copy, selectAll});
    rxMemo_->setContextMenuPolicy(Qt::ActionsContextMenu);

    cbRawCodes_ = new QCheckBox(QStringLiteral("Kódok nyersen"), this);
    cbRawCodes_->setObjectName("cbRawCodes");
    cbRawCodes_->setToolTip(QStringLiteral("A blokkokban a felhasználói és a telepítői kódok számjegyei és "
                                           "a blokkok ellenőrzőösszege csillagok helyett úgy látszanak, "
                                           "ahogy a vonalon jöttek"));
    connect(cbRawCodes_, &QCheckBox::toggled, &model_, &TrafficLogModel::setRawCodes);

    auto* btClear = new QPushButton(QStringLiteral("Ablak törlése"), this);
    btClear->setObjectName("btClear");
    auto* btAT = new QPushButton(QStringLiteral("AT"), this);
    btAT->setObjectName("btAT");
    // Narrow, so that four buttons still fit the window's first width.
    btAT->setMaximumWidth(btAT->fontMetrics().horizontalAdvance(QStringLiteral("AT")) + 40);
    auto* btSave = new QPushButton(QStringLiteral("Mentés fájlba"), this);
    btSave->setObjectName("btSave");
    auto* btClose = new QPushButton(QStringLiteral("Ablak bezárása"), this);
    btClose->setObjectName("btClose");

    connect(btClear, &QPushButton::clicked, &model_, &TrafficLogModel::clear);
    connect(btAT, &QPushButton::clicked, this, &TrafficLogWindow::atRequested);
    connect(btSave, &QPushButton::clicked, this, &TrafficLogWindow::btSaveClick);
    connect(btClose, &QPushButton::clicked, this, [this] {
        hide();
        emit closedByButton();
    });
    closeOnEscape(this, btClose);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btClear);
    buttons->addWidget(btAT);
    buttons->addWidget(btSave);
    buttons->addStretch();
    buttons->addWidget(btClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rxMemo_);
    layout->addWidget(cbRawCodes_);
    layout->addLayout(buttons);

    resize(kWidth, kHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().topLeft() + QPoint(kScreenMargin, kScreenMargin));
    }
}

void TrafficLogWindow::logTraffic(const QString& text) {
    model_.logTraffic(text, QDateTime::currentMSecsSinceEpoch());
    // Scrolling lays the list out: a hidden one waits until it is shown.
    if (isVisible()) rxMemo_->scrollToBottom();
}

void TrafficLogWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    rxMemo_->scrollToBottom();
}

void TrafficLogWindow::copySelection() {
    QModelIndexList rows = rxMemo_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList lines;
    for (const QModelIndex& row : rows) lines << row.data().toString();
    if (!lines.isEmpty()) QGuiApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
}

void TrafficLogWindow::btSaveClick() {
    // One entry a line; the empty row for the next entry ends the last one.
    reports_.save(ReportFormat::Text, text().toUtf8(),
                  model_.rawCodes() ? FileAccess::OwnerOnly : FileAccess::Shared);
}

}  // namespace corvanta
