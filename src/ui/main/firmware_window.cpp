#include "ui/main/firmware_window.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "ui/widgets/escape_closes.h"
#include "ui/widgets/file_folders.h"

namespace corvanta {

namespace {

constexpr const char* kFileFilter = "GSM Corvanta Firmware file (*.GCF *.gcf)";
constexpr const char* kFileSuffix = "GCF";

}  // namespace

FirmwareWindow::FirmwareWindow(ModuleLink& link, QWidget* parent)
    : QWidget(parent, Qt::Window), upload_(link, *this) {
    setObjectName("FormFirmware");
    setWindowTitle(QStringLiteral("Firmware Letöltő"));

    btLoad_ = addButton("btLoad", QStringLiteral("Új firmware beolvasása fájlból"));
    btStart_ = addButton("btStart", QStringLiteral("Letöltés indítása"));
    progressBar1_ = new QProgressBar(this);
    progressBar1_->setObjectName("ProgressBar1");
    setProgressRange(0);
    progressBar1_->setValue(0);
    progressBar1_->setTextVisible(false);
    progressBar1_->setMinimumWidth(320);
    QPushButton* btCRC_Restart = addButton("btCRC_Restart", QStringLiteral("CRC ellenőrzés és újraindítás"));
    QPushButton* btStop = addButton("btStop", QStringLiteral("Stop"));
    QPushButton* btClose = addButton("btClose", QStringLiteral("Ablak bezárása"));
    statusBar1_ = new QStatusBar(this);
    statusBar1_->setObjectName("StatusBar1");
    statusBar1_->setSizeGripEnabled(false);
    btStart_->setEnabled(false);  // until a file is loaded

    connect(btLoad_, &QPushButton::clicked, this, &FirmwareWindow::btLoadClick);
    connect(btStart_, &QPushButton::clicked, this, &FirmwareWindow::btStartClick);
    connect(btCRC_Restart, &QPushButton::clicked, this, &FirmwareWindow::btCRC_RestartClick);
    connect(btStop, &QPushButton::clicked, this, &FirmwareWindow::btStopClick);
    connect(btClose, &QPushButton::clicked, this, &FirmwareWindow::btCloseClick);
    closeOnEscape(this, btClose);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(btStop);
    bottom->addStretch();
    bottom->addWidget(btClose);

    auto* column = new QVBoxLayout;
    column->addWidget(btLoad_);
    column->addWidget(btStart_);
    column->addWidget(progressBar1_);
    column->addWidget(btCRC_Restart);
    column->addSpacing(8);
    column->addLayout(bottom);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* body = new QWidget(this);
    body->setLayout(column);
    layout->addWidget(body);
    layout->addWidget(statusBar1_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

FirmwareWindow::~FirmwareWindow() = default;

QPushButton* FirmwareWindow::addButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setMinimumHeight(button->sizeHint().height() + 6);
    return button;
}

QString FirmwareWindow::statusText() const { return statusBar1_->currentMessage(); }

void FirmwareWindow::setStatusText(const QString& text) { statusBar1_->showMessage(text); }

// A range of 0..0 would turn the bar into a running busy indicator, on an
// idle window or for a one-frame file; such a bar stays at its start instead.
void FirmwareWindow::setProgressRange(int maximum) { progressBar1_->setRange(0, std::max(maximum, 1)); }

void FirmwareWindow::setProgress(int frame) { progressBar1_->setValue(frame); }

void FirmwareWindow::setOperationRunning(bool running) {
    btLoad_->setEnabled(!running);
    // Starting without frames would have nothing to send.
    btStart_->setEnabled(!running && upload_.loaded());
}

void FirmwareWindow::btLoadClick() {
    // Without a key no file can be prepared: said before a file is chosen.
    if (!upload_.haveKey()) return;
    const QString path = chooseFile();
    if (path.isEmpty()) return;
    if (upload_.loadFile(path)) btStart_->setEnabled(true);
}

void FirmwareWindow::btStartClick() { upload_.upload(); }
void FirmwareWindow::btStopClick() { upload_.requestStop(); }
void FirmwareWindow::btCRC_RestartClick() { upload_.check(); }
void FirmwareWindow::btCloseClick() { hide(); }

QString FirmwareWindow::chooseFile() {
    QString path;
    if (fileChooser_) {
        path = fileChooser_();
    } else {
        if (!openDialog1_) {
            openDialog1_ = std::make_unique<QFileDialog>(this);
            openDialog1_->setNameFilter(QString::fromLatin1(kFileFilter));
            openDialog1_->setDefaultSuffix(QString::fromLatin1(kFileSuffix));
            openDialog1_->setAcceptMode(QFileDialog::AcceptOpen);
            openDialog1_->setFileMode(QFileDialog::ExistingFile);
        }
        path = runFileDialog(*openDialog1_, FileKind::Firmware, QStringLiteral("*.") + QString::fromLatin1(kFileSuffix));
    }
    rememberFolder(FileKind::Firmware, path);
    return path;
}

}  // namespace corvanta
