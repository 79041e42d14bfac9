#pragma once
// The text window of the settings export (FormText, "FormTXT"): one
// fixed-pitch text field, Memo1, that shows the listing to read or copy,
// and the buttons that keep it as a text file, on paper or as PDF.

#include <QStringList>
#include <QWidget>

#include "ui/reports/report_actions.h"

class QPlainTextEdit;

namespace corvanta {

class TextWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TextWindow(QWidget* parent = nullptr);

  QPlainTextEdit* memo() const { return memo_; }
  // Replaces the text with `lines` and brings the window up, not modal.
  void showListing(const QStringList& lines);
  // The program's messages; tests choose the files and the printer.
  ReportActions& reports() { return reports_; }

 public slots:
  void btSaveClick();
  void btPrintClick();
  void btSavePdfClick();

 private:
  QStringList lines() const;

  QPlainTextEdit* memo_;
  ReportActions reports_;
};

}  // namespace corvanta
