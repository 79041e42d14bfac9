#pragma once
// The text window of the settings export (FormText, "FormTXT"): one
// fixed-pitch text field, Memo1, that shows the listing to read or copy,
// and the buttons that keep it as a text file, on paper or as PDF. The
// codes show as "••••" on screen and on paper until "Kódok mutatása" is
// ticked; the text file keeps them.

#include <QStringList>
#include <QWidget>

#include "ui/reports/report_actions.h"

class QCheckBox;
class QPlainTextEdit;

namespace corvanta {

class TextWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TextWindow(QWidget* parent = nullptr);

  QPlainTextEdit* memo() const { return memo_; }
  // Replaces the text with `lines` and brings the window up, not modal.
  // `codesHidden` is the same listing with the codes hidden, shown until
  // the installer asks for the codes; without it the lines hold no codes.
  void showListing(const QStringList& lines, const QStringList& codesHidden);
  void showListing(const QStringList& lines) { showListing(lines, lines); }
  QCheckBox* showCodesBox() const { return cbShowCodes_; }
  // The program's messages; tests choose the files and the printer.
  ReportActions& reports() { return reports_; }

 public slots:
  void btSaveClick();
  void btPrintClick();
  void btSavePdfClick();

 private:
  QStringList lines() const;
  void showLines();

  QPlainTextEdit* memo_;
  QCheckBox* cbShowCodes_;
  QStringList full_;
  QStringList codesHidden_;
  ReportActions reports_;
};

}  // namespace corvanta
