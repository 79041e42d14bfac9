#include "ui/main/port_chooser.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "link/port_discovery.h"

namespace corvanta {

namespace {

constexpr int kColumnWidth = 364;
constexpr int kRowHeight = 20;
constexpr int kVisibleRows = 7;
constexpr int kTextIndent = 5;

const QColor kPresentText(0, 0, 0);
const QColor kPresentSelectedText(255, 255, 255);
const QColor kAbsentText(128, 32, 32);
const QColor kAbsentSelectedText(255, 192, 96);
const QColor kSelectedBackground(0, 0, 128);
const QColor kGridBackground(192, 192, 192);

std::string toStd(const QString& s) { return s.toStdString(); }
QString fromStd(const std::string& s) { return QString::fromStdString(s); }

// Draws a row as " - " + its display name, coloured by its mark.
class PortRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QString cell = index.data().toString();
        if (cell.isEmpty()) return;
        const bool selected = option.state & QStyle::State_Selected;
        const bool present = cell.startsWith('+');
        painter->save();
        painter->fillRect(option.rect, selected ? kSelectedBackground : option.palette.color(QPalette::Window));
        painter->setPen(present ? (selected ? kPresentSelectedText : kPresentText)
                                : (selected ? kAbsentSelectedText : kAbsentText));
        painter->setFont(option.font);
        QRect text = option.rect.adjusted(kTextIndent, 0, 0, 0);
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                          QStringLiteral(" - ") + fromStd(displayNameOf(toStd(cell))));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(kRowHeight, option.fontMetrics.height() + 4));
        return size;
    }
};

QLabel* makePanel(const QString& name, QWidget* parent) {
    auto* panel = new QLabel(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAlignment(Qt::AlignCenter);
    QFont bold = panel->font();
    bold.setBold(true);
    panel->setFont(bold);
    panel->setMinimumHeight(panel->fontMetrics().height() + 6);
    panel->setMinimumWidth(kColumnWidth);
    panel->setMaximumWidth(kColumnWidth + 40);
    return panel;
}

}  // namespace

PortChooser::PortChooser(PortDiscovery& discovery, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      discovery_(discovery) {
    setObjectName("FormComPort");
    setWindowTitle(QStringLiteral("Soros portok"));

    label1_ = new QLabel(QStringLiteral("Válassza ki a használni kívánt soros portot!"), this);
    label1_->setObjectName("Label1");
    QFont larger = label1_->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.2);
    label1_->setFont(larger);

    stringGrid1_ = new QListWidget(this);
    stringGrid1_->setObjectName("StringGrid1");
    stringGrid1_->setItemDelegate(new PortRowDelegate(stringGrid1_));
    stringGrid1_->setSelectionMode(QAbstractItemView::SingleSelection);
    stringGrid1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    stringGrid1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    stringGrid1_->setUniformItemSizes(true);
    QPalette grey = stringGrid1_->palette();
    grey.setColor(QPalette::Base, kGridBackground);
    stringGrid1_->setPalette(grey);
    const int rowHeight = std::max(kRowHeight, fontMetrics().height() + 4);
    stringGrid1_->setMinimumSize(kColumnWidth + stringGrid1_->verticalScrollBar()->sizeHint().width() + 4,
                                 rowHeight * kVisibleRows + 4);
    connect(stringGrid1_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { selectRow(stringGrid1_->row(item)); });
    connect(stringGrid1_, &QListWidget::currentRowChanged, this, [this](int row) {
        // Keyboard moves select too; rebuilding the list blocks this signal.
        if (row >= 0) selectRow(row);
    });

    panel1_ = makePanel("Panel1", this);
    panel2_ = makePanel("Panel2", this);

    auto* lbDevice = new QLabel(QStringLiteral("Port megadása kézzel:"), this);
    edDevice_ = new QLineEdit(this);
    edDevice_->setObjectName("edDevice");
    edDevice_->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));
    edDevice_->installEventFilter(this);
    btDevice_ = new QPushButton(QStringLiteral("Hozzáadás"), this);
    btDevice_->setObjectName("btDevice");
    btDevice_->setAutoDefault(false);
    connect(btDevice_, &QPushButton::clicked, this, [this] { addTypedPort(edDevice_->text()); });

    button1_ = new QPushButton(QStringLiteral("OK"), this);
    button1_->setObjectName("Button1");
    button1_->setDefault(true);
    connect(button1_, &QPushButton::clicked, this, &QDialog::accept);

    auto* manual = new QHBoxLayout;
    manual->addWidget(lbDevice);
    manual->addWidget(edDevice_, 1);
    manual->addWidget(btDevice_);
    auto* ok = new QHBoxLayout;
    ok->addStretch();
    ok->addWidget(button1_);
    ok->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label1_);
    layout->addWidget(stringGrid1_, 1);
    layout->addWidget(panel1_, 0, Qt::AlignHCenter);
    layout->addWidget(panel2_, 0, Qt::AlignHCenter);
    layout->addLayout(manual);
    layout->addLayout(ok);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    timer1_.setInterval(kRefreshMs);
    connect(&timer1_, &QTimer::timeout, this, &PortChooser::refresh);
}

QStringList PortChooser::choices() const {
    QStringList entries;
    for (int i = 0; i < stringGrid1_->count(); ++i) entries << stringGrid1_->item(i)->text();
    return entries;
}

int PortChooser::currentRow() const { return stringGrid1_->currentRow(); }
QString PortChooser::panel1Text() const { return panel1_->text(); }
QString PortChooser::panel2Text() const { return panel2_->text(); }

void PortChooser::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    discovery_.rebuildKnownPorts();
    refresh();
    timer1_.start();

    int match = -1;
    const QStringList entries = choices();
    for (int i = 0; i < entries.size() && match < 0; ++i) {
        if (fromStd(displayNameOf(toStd(entries[i]))) == currentTitle_) match = i;
    }
    if (match >= 0) {
        selectRow(match);
    } else {
        QSignalBlocker block(stringGrid1_);
        stringGrid1_->setCurrentRow(-1);
        stringGrid1_->clearSelection();
        panel1_->clear();
        panel2_->clear();
    }
}

void PortChooser::done(int result) {
    timer1_.stop();
    QDialog::done(result);
}

bool PortChooser::eventFilter(QObject* watched, QEvent* event) {
    // Return in the device field adds the port rather than closing with OK.
    if (watched == edDevice_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            addTypedPort(edDevice_->text());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PortChooser::refresh() {
    if (!isVisible()) return;
    QStringList entries;
    for (const auto& e : discovery_.buildPortChoices()) entries << fromStd(e);
    fillGrid(entries);
}

void PortChooser::fillGrid(const QStringList& entries) {
    // Rebuilt only on a change, and at the same scroll position: a refresh
    // every second must not throw a scrolled list back to its top.
    if (entries == choices()) return;
    const int scrolled = stringGrid1_->verticalScrollBar()->value();
    // The highlighted port stays highlighted when rows move.
    const int row = stringGrid1_->currentRow();
    const std::uint8_t highlighted =
        row >= 0 && row < stringGrid1_->count() ? comNumberOf(toStd(stringGrid1_->item(row)->text())) : 0;
    QSignalBlocker block(stringGrid1_);
    stringGrid1_->clear();
    stringGrid1_->addItems(entries);
    if (highlighted != 0) {
        std::vector<std::string> list;
        for (const auto& e : entries) list.push_back(toStd(e));
        stringGrid1_->setCurrentRow(findByComNumber(list, highlighted));
    }
    stringGrid1_->doItemsLayout();  // the scroll range, before it is used
    stringGrid1_->verticalScrollBar()->setValue(scrolled);
}

void PortChooser::selectRow(int row) {
    if (row < 0 || row >= stringGrid1_->count()) return;
    {
        QSignalBlocker block(stringGrid1_);
        stringGrid1_->setCurrentRow(row);
    }
    showSelection(row);
    kivalaszt(row);
}

void PortChooser::showSelection(int row) {
    const std::string cell = toStd(stringGrid1_->item(row)->text());
    panel1_->setText(fromStd(displayNameOf(cell)));
    panel2_->setText(fromStd(detailOf(cell)));
}

void PortChooser::kivalaszt(int row) {
    const std::string cell = toStd(stringGrid1_->item(row)->text());
    const std::uint8_t n = comNumberOf(cell);
    selectedComNumber_ = n;
    if (n == 0) return;  // name and title keep the former choice
    selectedPortName_ = QStringLiteral("COM%1").arg(n);
    QString title = fromStd(displayNameOf(cell));
    const int colon = title.indexOf(':');
    if (colon >= 0) title.truncate(colon);
    selectedPortTitle_ = title;
    selectedDevice_ = fromStd(discovery_.deviceOf(n));
}

QString PortChooser::rememberPort(const QString& device) {
    // Seen ports are numbered first, so the remembered one does not take a
    // number the machine's own ports would have had.
    discovery_.rebuildKnownPorts();
    const std::uint8_t n = discovery_.addManualPort(toStd(device.trimmed()));
    if (n == 0) return {};
    for (const auto& entry : discovery_.buildPortChoices()) {
        if (comNumberOf(entry) != n) continue;
        if (!entry.starts_with('+')) return {};
        QString title = fromStd(displayNameOf(entry));
        const int colon = title.indexOf(':');
        if (colon >= 0) title.truncate(colon);
        // Chosen already: the chooser opens on it and OK keeps it.
        selectedComNumber_ = n;
        selectedPortName_ = QStringLiteral("COM%1").arg(n);
        selectedPortTitle_ = title;
        selectedDevice_ = device.trimmed();
        return title;
    }
    return {};
}

void PortChooser::addTypedPort(const QString& path) {
    const QString trimmed = path.trimmed();
    const std::uint8_t n = discovery_.addManualPort(toStd(trimmed));
    if (n == 0) return;
    edDevice_->clear();
    refresh();
    const QStringList entries = choices();
    for (int i = 0; i < entries.size(); ++i) {
        if (comNumberOf(toStd(entries[i])) == n) {
            selectRow(i);
            return;
        }
    }
}

}  // namespace corvanta
