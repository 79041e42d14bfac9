#pragma once
// "Beállítási jelentés": the settings report of the image, as a customer or
// a colleague reads it, shown before it is printed or kept as a PDF. The
// codes are "••••" until "Kódok mutatása" is ticked.

#include <QWidget>

#include <memory>

#include "params/parameter_image.h"
#include "ui/reports/report_actions.h"

class QCheckBox;
class QTextBrowser;
class QTextDocument;

namespace corvanta {

class SettingsReportWindow : public QWidget {
    Q_OBJECT
public:
    explicit SettingsReportWindow(QWidget* parent = nullptr);
    ~SettingsReportWindow() override;

    // The report of `image` as it stands now, codes hidden; brings the
    // window up, not modal.
    void showReport(const ParameterImage& image);

    QTextBrowser* view() const { return view_; }
    QCheckBox* showCodesBox() const { return cbShowCodes_; }
    // The program's messages; tests choose the files and the printer.
    ReportActions& reports() { return reports_; }

public slots:
    void btPrintClick();
    void btSavePdfClick();

private:
    std::unique_ptr<QTextDocument> body() const;
    void showBody();

    ParameterImage image_{};
    QTextBrowser* view_;
    QCheckBox* cbShowCodes_;
    QTextDocument* shown_ = nullptr;  // the view's, a child of it
    ReportActions reports_;
};

}  // namespace corvanta
