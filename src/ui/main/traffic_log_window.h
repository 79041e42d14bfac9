#pragma once
// The traffic log (SerialForm, "Soros kapcsolat részletei"): every received
// line and every line sent with sendLoggedCommand, one entry a line. The
// last line is kept empty as the place for the next entry.

#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

namespace corvanta {

class TrafficLogWindow : public QWidget {
    Q_OBJECT
public:
    explicit TrafficLogWindow(QWidget* parent = nullptr);

    // The whole log as the user sees it.
    QString text() const { return rxMemo_->toPlainText(); }

public slots:
    void logTraffic(const QString& text);

signals:
    // "AT": the main window sends it logged.
    void atRequested();
    // "Ablak bezárása": the window hid itself; the main window's toggle
    // caption follows. The close box does not send this.
    void closedByButton();

private:
    QPlainTextEdit* rxMemo_;
};

}  // namespace corvanta
