#pragma once
// The text window of the settings export (FormText, "FormTXT"): one
// fixed-pitch text field, Memo1, that shows the listing to read or copy.

#include <QStringList>
#include <QWidget>

class QPlainTextEdit;

namespace corvanta {

class TextWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TextWindow(QWidget* parent = nullptr);

  QPlainTextEdit* memo() const { return memo_; }
  // Replaces the text with `lines` and brings the window up, not modal.
  void showListing(const QStringList& lines);

 private:
  QPlainTextEdit* memo_;
};

}  // namespace corvanta
