#pragma once
// The port chooser (FormComPort, "Soros portok"): every serial port seen in
// this run, present ones marked "+" and gone ones "-", refreshed every second
// while open. A device path can also be typed in. The choice (number, name
// "COMn", title, device path) survives between openings.

#include <QDialog>
#include <QTimer>

#include <cstdint>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace corvanta {

class PortDiscovery;

class PortChooser : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 1000;

    explicit PortChooser(PortDiscovery& discovery, QWidget* parent = nullptr);

    // The main window's port title; the row showing it is preselected when
    // the chooser opens.
    void setCurrentTitle(const QString& title) { currentTitle_ = title; }

    std::uint8_t selectedComNumber() const { return selectedComNumber_; }
    QString selectedPortName() const { return selectedPortName_; }
    QString selectedPortTitle() const { return selectedPortTitle_; }
    // Path of the chosen device, empty before a choice.
    QString selectedDevice() const { return selectedDevice_; }

    // A port remembered from an earlier run: listed from now on. Returns its
    // title as the main window shows a chosen port, or nothing when the
    // device is not there now.
    QString rememberPort(const QString& device);

    // The list as shown, each entry with its "+"/"-" mark.
    QStringList choices() const;
    int currentRow() const;
    QString panel1Text() const;
    QString panel2Text() const;

public slots:
    // Timer1: reread the present ports (only while shown).
    void refresh();
    // A row picked by the user.
    void selectRow(int row);
    // A device path typed by hand: kept as a known port and selected.
    void addTypedPort(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillGrid(const QStringList& entries);
    void kivalaszt(int row);
    void showSelection(int row);

    PortDiscovery& discovery_;
    QLabel* label1_;
    QListWidget* stringGrid1_;
    QLabel* panel1_;
    QLabel* panel2_;
    QLineEdit* edDevice_;
    QPushButton* btDevice_;
    QPushButton* button1_;
    QTimer timer1_;

    QString currentTitle_;
    std::uint8_t selectedComNumber_ = 0;
    QString selectedPortName_;
    QString selectedPortTitle_;
    QString selectedDevice_;
};

}  // namespace corvanta
