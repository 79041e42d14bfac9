#include "ui/service/radio_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "link/module_link.h"

namespace corvanta {

namespace {

constexpr int kInputs = 12;
constexpr const char* kTagProperty = "tag";
constexpr const char* kTeach = "Tanítás";

QLabel* header(const QString& name, const QString& caption, QWidget* parent) {
    auto* panel = new QLabel(caption, parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setAlignment(Qt::AlignCenter);
    panel->setMinimumHeight(panel->fontMetrics().height() + 8);
    return panel;
}

}  // namespace

RadioWindow::RadioWindow(ModuleLink& link, std::unique_ptr<TickSource> rfTicks, QWidget* parent)
    : QDialog(parent), link_(link), teaching_(link, std::move(rfTicks)) {
    setObjectName("FormRF");
    setWindowTitle(QStringLiteral("Rádiós eszközök tanítása"));

    // One column per input or user: header, the slot's panel, its teach button.
    auto addSlot = [this](QGridLayout* grid, int row, int column, int slot, const QString& suffix,
                          const QString& letter, const QString& buttonName) {
        auto* panel = new QFrame(grid->parentWidget());
        panel->setObjectName(QStringLiteral("Panel") + suffix);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setAutoFillBackground(true);
        auto* inside = new QVBoxLayout(panel);
        inside->setContentsMargins(2, 1, 2, 2);
        inside->setSpacing(0);
        if (!letter.isEmpty()) {
            auto* mark = new QLabel(letter, panel);
            mark->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            inside->addWidget(mark);
        }
        auto* label = new QLabel(QStringLiteral("."), panel);
        label->setObjectName(QStringLiteral("lb") + suffix);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("Tanulás")) + 4);
        inside->addWidget(label);
        panel->setMinimumHeight(panel->sizeHint().height() + 4);
        auto* button = new QPushButton(QString::fromUtf8(kTeach), grid->parentWidget());
        button->setObjectName(buttonName);
        button->setAutoDefault(false);
        button->setProperty(kTagProperty, slot + 1);
        connect(button, &QPushButton::clicked, this, &RadioWindow::btTeachClick);
        grid->addWidget(panel, row, column);
        grid->addWidget(button, row + 1, column);
        panels_[slot] = panel;
        labels_[slot] = label;
        showSlot(slot, 0);
        label->setText(QStringLiteral("."));
    };

    auto* gbSensors = new QGroupBox(QStringLiteral(" Rádiós szenzorok "), this);
    gbSensors->setObjectName("gbSensors");
    auto* sensors = new QGridLayout(gbSensors);
    sensors->setSpacing(4);
    auto* gbRFUsers = new QGroupBox(QStringLiteral(" Rádiós távvezérlők "), this);
    gbRFUsers->setObjectName("gbRFUsers");
    auto* users = new QGridLayout(gbRFUsers);
    users->setSpacing(4);
    for (int n = 0; n < kInputs; ++n) {
        const QString in = QString::number(n + 1);
        sensors->addWidget(header(QStringLiteral("PanelIN") + in, QStringLiteral("IN") + in, gbSensors), 0, n);
        addSlot(sensors, 1, n, int(radio_layout::kSensorASlot) + n, QStringLiteral("A") + in, QStringLiteral("A"),
                QStringLiteral("btTeachA") + in);
        addSlot(sensors, 3, n, int(radio_layout::kSensorBSlot) + n, QStringLiteral("B") + in, QStringLiteral("B"),
                QStringLiteral("btTeachB") + in);
        users->addWidget(header(QStringLiteral("PanelUser") + in, in + QStringLiteral(".Felh."), gbRFUsers), 0, n);
        addSlot(users, 1, n, int(radio_layout::kRemoteSlot) + n, QStringLiteral("U") + in, QString(),
                QStringLiteral("btTeachUser") + in);
    }

    auto* btRFDeleteAll = new QPushButton(QStringLiteral("Az összes rádiós eszköz törlése"), this);
    btRFDeleteAll->setObjectName("btRFDeleteAll");
    btRFDeleteAll->setAutoDefault(false);
    btRFDeleteAll->setMinimumWidth(btRFDeleteAll->sizeHint().width() + 16);
    auto* lbRFpower = new QLabel(QStringLiteral("Az utolsó rádiós jelzés erőssége (0-63):"), this);
    lbRFpower->setObjectName("lbRFpower");
    lbRFval_ = new QLabel(QStringLiteral("0"), this);
    lbRFval_->setObjectName("lbRFval");
    lbRFval_->setMinimumWidth(lbRFval_->fontMetrics().horizontalAdvance(QStringLiteral("000")));
    pbRFTerero_ = new QProgressBar(this);
    pbRFTerero_->setObjectName("pbRFTerero");
    pbRFTerero_->setRange(0, radio_layout::kMaxStrength);
    pbRFTerero_->setValue(0);
    pbRFTerero_->setTextVisible(false);
    auto* btClose = new QPushButton(QStringLiteral("Ablak bezárása"), this);
    btClose->setObjectName("btClose");
    btClose->setAutoDefault(false);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(btRFDeleteAll);
    bottom->addSpacing(20);
    bottom->addWidget(lbRFpower);
    bottom->addWidget(lbRFval_);
    bottom->addWidget(pbRFTerero_, 1);
    bottom->addSpacing(20);
    bottom->addWidget(btClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gbSensors);
    layout->addWidget(gbRFUsers);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btRFDeleteAll, &QPushButton::clicked, this, &RadioWindow::btRFDeleteAllClick);
    connect(btClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(&link_, &ModuleLink::radioFrameReceived, this, &RadioWindow::showRadioFrame);
}

RadioWindow::~RadioWindow() = default;

QColor RadioWindow::colourOf(SlotColour colour) {
    switch (colour) {
    case SlotColour::ButtonFace: return QPalette().color(QPalette::Button);
    case SlotColour::Teal: return QColor(0, 128, 128);
    case SlotColour::Blue: return QColor(0, 0, 255);
    case SlotColour::Yellow: return QColor(255, 255, 0);
    case SlotColour::Red: return QColor(255, 0, 0);
    }
    return {};
}

void RadioWindow::openModal() {
    link_.flags().radioTeachRefused = false;
    // Put back as found, as every conversation does.
    const bool codeTimerWas = link_.codeTimerEnabled();
    link_.setCodeTimerEnabled(false);
    teaching_.startPolling();
    exec();
    teaching_.stopPolling();
    link_.setCodeTimerEnabled(codeTimerWas);
}

void RadioWindow::showSlot(int slot, std::uint8_t slotByte) {
    const SlotDisplay d = slotDisplay(slotByte);
    QFrame* panel = panels_[slot];
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, colourOf(d.colour));
    // Dark fills keep their text readable.
    const bool dark = d.colour == SlotColour::Teal || d.colour == SlotColour::Blue || d.colour == SlotColour::Red;
    p.setColor(QPalette::WindowText, dark ? Qt::white : Qt::black);
    panel->setPalette(p);
    labels_[slot]->setText(QString::fromStdString(d.text));
}

void RadioWindow::showRadioFrame(const QByteArray& line) {
    const auto frame = decodeRadioFrame(std::string_view(line.constData(), std::size_t(line.size())));
    if (!frame) return;
    for (int s = 0; s < kSlots; ++s) showSlot(s, frame->slotBytes[std::size_t(s)]);
    lbRFval_->setText(QString::number(frame->strength));
    // The bar cannot go past its end; a stray value above 63 fills it
    // instead of leaving the last one standing.
    pbRFTerero_->setValue(std::min<int>(frame->strength, radio_layout::kMaxStrength));
}

QString RadioWindow::slotText(int slot) const { return labels_.at(slot)->text(); }

QColor RadioWindow::slotColour(int slot) const { return panels_.at(slot)->palette().color(QPalette::Window); }

void RadioWindow::btTeachClick() {
    const QObject* button = sender();
    if (!button) return;
    teaching_.teach(button->property(kTagProperty).toInt() - 1);
}

void RadioWindow::btRFDeleteAllClick() { teaching_.deleteAll(); }

}  // namespace corvanta
