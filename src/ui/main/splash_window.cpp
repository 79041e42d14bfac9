#include "ui/main/splash_window.h"

#include <QFrame>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/main/program_version.h"

namespace corvanta {

namespace {
constexpr int kStepMs = 100;
constexpr const char* kPicture = ":/corvanta/splash.jpg";
}  // namespace

SplashWindow::SplashWindow(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName("FormWelcome");
    setAutoFillBackground(true);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(grey);

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(1);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(1, 1, 1, 1);

    image1_ = new QLabel(panel);
    image1_->setObjectName("Image1");
    image1_->setFixedSize(kPictureWidth, kPictureHeight);
    QPixmap picture(kPicture, "JPG");
    hasPicture_ = !picture.isNull();
    image1_->setPixmap(picture);
    panelLayout->addWidget(image1_);

    // Over the picture, near its bottom right corner.
    lbVer_ = new QLabel(versionCaption(), image1_);
    lbVer_->setObjectName("lbVer");
    QFont bold = lbVer_->font();
    bold.setBold(true);
    lbVer_->setFont(bold);
    lbVer_->setAttribute(Qt::WA_TranslucentBackground);
    QPalette light = lbVer_->palette();
    light.setColor(QPalette::WindowText, Qt::white);
    lbVer_->setPalette(light);
    lbVer_->adjustSize();
    lbVer_->move(kPictureWidth - lbVer_->width() - 12, kPictureHeight - lbVer_->height() - 10);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(panel);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (QTimer* timer : {&timerShowWelcome_, &timerCreateAll_}) {
        timer->setInterval(kStepMs);
        timer->setSingleShot(true);
    }
    connect(&timerCreateAll_, &QTimer::timeout, this, &SplashWindow::timerCreateAllTick);
    connect(&timerShowWelcome_, &QTimer::timeout, this, &SplashWindow::timerShowWelcomeTick);

    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void SplashWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    timerCreateAll_.start();
}

void SplashWindow::timerCreateAllTick() {
    timerCreateAll_.stop();
    emit createAllRequested();
    timerShowWelcome_.start();
}

void SplashWindow::timerShowWelcomeTick() {
    timerShowWelcome_.stop();
    hide();
    emit welcomeFinished();
}

}  // namespace corvanta
