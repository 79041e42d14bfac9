#pragma once
// The firmware window (FormFirmware, "Firmware Letöltő"): load a GCF file,
// upload it, and send the check after which the module restarts. The work
// itself is FirmwareUpload's.

#include <QWidget>

#include <functional>
#include <memory>

#include "transfer/firmware_upload.h"

class QFileDialog;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace corvanta {

class ModuleLink;

class FirmwareWindow : public QWidget, public FirmwareView {
    Q_OBJECT
public:
    // Returns the chosen path, or an empty one when the user cancelled.
    using FileChooser = std::function<QString()>;

    explicit FirmwareWindow(ModuleLink& link, QWidget* parent = nullptr);
    ~FirmwareWindow() override;

    void setFileChooser(FileChooser chooser) { fileChooser_ = std::move(chooser); }
    FirmwareUpload& upload() { return upload_; }
    QString statusText() const;

    // FirmwareView
    void setStatusText(const QString& text) override;
    void setProgressRange(int maximum) override;
    void setProgress(int frame) override;
    void setOperationRunning(bool running) override;

public slots:
    void btLoadClick();
    void btStartClick();
    void btStopClick();
    void btCRC_RestartClick();
    void btCloseClick();

private:
    QPushButton* addButton(const char* name, const QString& caption);
    QString chooseFile();

    FirmwareUpload upload_;
    QPushButton* btLoad_ = nullptr;
    QPushButton* btStart_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;
    QStatusBar* statusBar1_ = nullptr;
    FileChooser fileChooser_;
    std::unique_ptr<QFileDialog> openDialog1_;
};

}  // namespace corvanta
