#pragma once
// A message or a Yes/No question whose text runs to more lines than a
// message box shows on a screen: the first paragraph stands on top, the
// rest (the list of fields a write changes, a help text) scrolls below it.

#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace corvanta {

class LongTextDialog : public QDialog {
  Q_OBJECT
 public:
  // A text of more lines than this goes into such a dialog.
  static constexpr int kLongText = 16;

  LongTextDialog(const QString& caption, const QString& text, bool question, QWidget* parent = nullptr);

  QString headline() const;
  QString body() const;

 private:
  QLabel* headline_;
  QPlainTextEdit* body_;
};

bool isLongText(const QString& text);

}  // namespace corvanta
