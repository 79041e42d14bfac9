#include "ui/service/clock_window.h"

#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace corvanta {

ClockWindow::ClockWindow(ModuleLink& link, ModuleClock::LocalTime localTime, QWidget* parent)
    : QDialog(parent), clock_(link, *this, std::move(localTime)) {
    setObjectName("FormClock");
    setWindowTitle(QStringLiteral("GSM-Corvanta - Óra ellenőrzése / beállítása"));

    btReadClock_ = addButton("btReadClock", QStringLiteral("Dátum és idő leolvasása a modulról"));
    btSetTime_ = addButton("btSetTime", QStringLiteral("A modul órájának beállítása a számítógép órája alapján"));
    QPushButton* btClose = addButton("btClose", QStringLiteral("Ablak bezárása"));
    statusBar1_ = new QStatusBar(this);
    statusBar1_->setObjectName("StatusBar1");
    statusBar1_->setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(btReadClock_);
    layout->addWidget(btSetTime_);
    layout->addSpacing(10);
    layout->addWidget(btClose);
    layout->addWidget(statusBar1_);
    layout->setContentsMargins(10, 10, 10, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btReadClock_, &QPushButton::clicked, this, &ClockWindow::btReadClockClick);
    connect(btSetTime_, &QPushButton::clicked, this, &ClockWindow::btSetTimeClick);
    connect(btClose, &QPushButton::clicked, this, &QDialog::reject);
}

QPushButton* ClockWindow::addButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setMinimumSize(button->sizeHint().width() + 24, button->sizeHint().height() + 8);
    return button;
}

QString ClockWindow::statusText() const { return statusBar1_->currentMessage(); }

void ClockWindow::setStatus(const QString& text) {
    if (text.isEmpty())
        statusBar1_->clearMessage();
    else
        statusBar1_->showMessage(text);
}

void ClockWindow::btReadClockClick() {
    btReadClock_->setEnabled(false);
    clock_.read();
    btReadClock_->setEnabled(true);
}

void ClockWindow::btSetTimeClick() {
    btSetTime_->setEnabled(false);
    clock_.set();
    btSetTime_->setEnabled(true);
}

}  // namespace corvanta
