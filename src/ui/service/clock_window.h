#pragma once
// The clock window (FormClock): reads the module's clock and sets it from the
// computer's. The main window opens it modally; the periodic login runs on
// while it is open and gives way only during each exchange (ModuleClock).

#include <QDialog>

#include "service/module_clock.h"

class QPushButton;
class QStatusBar;

namespace corvanta {

class ModuleLink;

class ClockWindow : public QDialog, public ClockView {
    Q_OBJECT
public:
    // localTime: the computer's clock; tests give a fixed one.
    explicit ClockWindow(ModuleLink& link, ModuleClock::LocalTime localTime = {}, QWidget* parent = nullptr);

    QString statusText() const;
    void setStatus(const QString& text) override;

public slots:
    void btReadClockClick();
    void btSetTimeClick();

private:
    QPushButton* addButton(const char* name, const QString& caption);

    ModuleClock clock_;
    QPushButton* btReadClock_;
    QPushButton* btSetTime_;
    QStatusBar* statusBar1_;
};

}  // namespace corvanta
