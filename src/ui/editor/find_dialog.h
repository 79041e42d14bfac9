#pragma once
// "Keresés" (Ctrl+F in the editor): a line for part of a caption or a
// value and the settings that hold it, by page, row and caption. Enter or a
// click on a setting opens its page, scrolls its row into view and puts the
// focus on it.

#include <functional>
#include <vector>

#include <QDialog>

#include "ui/editor/setting_search.h"

class QLabel;
class QLineEdit;
class QTreeWidget;

namespace corvanta {

class FindDialog : public QDialog {
  Q_OBJECT
 public:
  // `values` gives the values as the pages show them now; `open` shows a hit.
  FindDialog(std::function<ParameterValues()> values, std::function<void(const ControlAddress&)> open,
             QWidget* parent = nullptr);

  QLineEdit* textField() const { return text_; }
  QTreeWidget* hitList() const { return list_; }
  const std::vector<SearchHit>& hits() const { return hits_; }
  // Comes up with the text selected, to type over.
  void start();
  void openHit(int index);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void search();

  std::function<ParameterValues()> values_;
  std::function<void(const ControlAddress&)> open_;
  QLineEdit* text_;
  QTreeWidget* list_;
  QLabel* count_;
  std::vector<SearchHit> hits_;
};

}  // namespace corvanta
