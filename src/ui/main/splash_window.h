#pragma once
// The start-up picture (FormWelcome). Its two one-shot timers pace the start:
// once it is shown, TimerCreateAll asks for the secondary windows, then
// TimerShowWelcome hands over to the main window.

#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace corvanta {

class SplashWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPictureWidth = 558;
    static constexpr int kPictureHeight = 320;

    explicit SplashWindow(QWidget* parent = nullptr);

    QString versionText() const { return lbVer_->text(); }
    // False when the picture could not be decoded (the label still shows).
    bool hasPicture() const { return hasPicture_; }

public slots:
    // Timer handlers, public so that a test can step the start without waiting.
    void timerCreateAllTick();
    void timerShowWelcomeTick();

signals:
    void createAllRequested();
    void welcomeFinished();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* image1_;
    QLabel* lbVer_;
    QTimer timerShowWelcome_;
    QTimer timerCreateAll_;
    bool hasPicture_ = false;
};

}  // namespace corvanta
