#include "ui/main/settings_report_window.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include "transfer/settings_report.h"
#include "ui/reports/settings_report_document.h"
#include "ui/widgets/escape_closes.h"

namespace corvanta {

SettingsReportWindow::SettingsReportWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), reports_(this, kSettingsReportTitle, QStringLiteral("beallitasi-jelentes")) {
    setObjectName("FormSettingsReport");
    setWindowTitle(kSettingsReportTitle);
    view_ = new QTextBrowser(this);
    view_->setObjectName("ReportView");
    cbShowCodes_ = new QCheckBox(QString::fromUtf8("Kódok mutatása"), this);
    cbShowCodes_->setObjectName("cbShowCodes");
    auto* btPrint = new QPushButton(QString::fromUtf8("&Nyomtatás"), this);
    btPrint->setObjectName("btPrint");
    auto* btSavePdf = new QPushButton(QString::fromUtf8("Mentés &PDF-be"), this);
    btSavePdf->setObjectName("btSavePdf");
    auto* btClose = new QPushButton(QString::fromUtf8("&Ablak bezárása"), this);
    btClose->setObjectName("btClose");
    for (QPushButton* b : {btPrint, btSavePdf, btClose}) b->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btPrint);
    buttons->addWidget(btSavePdf);
    buttons->addStretch();
    buttons->addWidget(cbShowCodes_);
    buttons->addWidget(btClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);

    connect(cbShowCodes_, &QCheckBox::toggled, this, &SettingsReportWindow::showBody);
    connect(btPrint, &QPushButton::clicked, this, &SettingsReportWindow::btPrintClick);
    connect(btSavePdf, &QPushButton::clicked, this, &SettingsReportWindow::btSavePdfClick);
    connect(btClose, &QPushButton::clicked, this, &QWidget::hide);
    closeOnEscape(this, btClose);
    resize(640, 720);
}

SettingsReportWindow::~SettingsReportWindow() = default;

std::unique_ptr<QTextDocument> SettingsReportWindow::body() const {
    return settingsReportDocument(report::settingsReport(image_, cbShowCodes_->isChecked()));
}

void SettingsReportWindow::showBody() {
    // The pages are laid out for paper when they are printed, so the screen
    // keeps a copy of its own.
    QTextDocument* old = shown_;
    shown_ = body().release();
    shown_->setParent(view_);
    view_->setDocument(shown_);
    delete old;
}

void SettingsReportWindow::showReport(const ParameterImage& image) {
    image_ = image;
    // Each report asks afresh before it shows codes.
    const QSignalBlocker quiet(cbShowCodes_);
    cbShowCodes_->setChecked(false);
    showBody();
    show();
    raise();
    activateWindow();
}

void SettingsReportWindow::btPrintClick() { reports_.print(*body()); }

void SettingsReportWindow::btSavePdfClick() {
    reports_.savePdf(*body(), cbShowCodes_->isChecked() ? FileAccess::OwnerOnly : FileAccess::Shared);
}

}  // namespace corvanta
