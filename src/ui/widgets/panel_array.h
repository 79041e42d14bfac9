#pragma once
// A scrolling list of identical rows over an array of records. Only the rows
// that fit on screen plus two are ever built; scrolling stores each row into
// its record and refills it from the next one, and moves the rows by the
// pixel remainder within one row pitch, so any number of records scrolls
// smoothly over a fixed set of row copies.
//
// The keyboard walks the records, not the copies: Tab and Shift+Tab go from
// field to field through every record in order, scrolling the next one into
// view and moving on to whichever copy shows it. The array itself is the one
// stop of the window's tab order; the fields of the copies are reached only
// through it, so the window's own order never lands in a stale copy.
//
// Records can be selected, as rows of a list are: a click on a row outside
// its controls selects it, Ctrl+click adds or removes one, Shift+click
// takes the rows between. The selection belongs to the records and follows
// them as the copies are re-bound.

#include <functional>
#include <set>
#include <utility>
#include <vector>

#include <QWidget>

#include "ui/widgets/row_cloning.h"

class QFrame;
class QScrollBar;

namespace corvanta {

class RowPanel;

class PanelArray : public QWidget {
  Q_OBJECT
 public:
  using RowCallback = std::function<void(RowPanel* row, int index)>;
  using ProgressCallback = std::function<void(int percent)>;

  explicit PanelArray(QWidget* parent = nullptr);

  // Builds the (hidden) template row; rows are copies of it.
  void setRowTemplate(RowTemplate t);
  const RowTemplate& rowTemplate() const { return template_; }
  RowPanel* templateRow() const { return templateRow_; }
  // A fresh copy of the template for a reader outside the array (the text
  // export fills it with each record in turn).
  RowPanel* cloneTemplate(QWidget* parent) const;

  void setRecordCount(int n) { records_ = n; }
  int recordCount() const { return records_; }
  void setFrameMargin(int px) { margin_ = px; }
  int rowTemplateMargin() const { return margin_; }
  void setRowSpacing(int px) { spacing_ = px; }
  // How many rows the array asks room for when not all of them fit.
  void setVisibleRowsHint(int rows) { visibleHint_ = rows; }
  int rowPitch() const;

  void setFillRow(RowCallback f) { fill_ = std::move(f); }
  void setStoreRow(RowCallback f) { store_ = std::move(f); }
  void setProgress(ProgressCallback f) { progress_ = std::move(f); }
  // Called for every row copy once it is built, before it is first filled
  // (the editor watches its controls for the undo history).
  void setRowPrepared(std::function<void(RowPanel* row)> f) { prepared_ = std::move(f); }
  // Fills any copy of the template from a record, as the rows are filled.
  void fillCopy(RowPanel* copy, int index) const {
    if (fill_) fill_(copy, index);
  }

  bool hasRows() const { return !rows_.empty(); }
  // Stores and destroys any rows, builds new ones and scrolls to the top.
  void rebuild();
  // Builds rows anew; existing rows are stored and destroyed first.
  void buildRows();
  void storeAndDestroy();
  // Writes every built row back into its record.
  void storeAll();
  // Re-binds every built row to top index + i and fills it.
  void refresh();

  int builtRowCount() const { return int(rows_.size()); }
  RowPanel* row(int i) const { return rows_.at(i).panel; }
  int rowRecord(int i) const { return rows_.at(i).record; }
  // The row that currently shows `record`, or nullptr when it is not built.
  RowPanel* rowForRecord(int record) const;
  // The record shown by the row that holds `w` (the row itself or one of
  // its controls); -1 when `w` is in no built row.
  int recordOf(const QWidget* w) const;
  // Scrolls the least distance that shows the whole row of `record`.
  void ensureRecordVisible(int record);
  // Gives the focus to field `field` (in tab order within a row) of
  // `record`, scrolled into view; false when there is no such field.
  bool focusField(int record, int field, Qt::FocusReason reason = Qt::OtherFocusReason);
  // Scrolls `record` into view and focuses the control `pick` finds in its
  // row; false when the record has no row or `pick` finds nothing.
  bool focusInRecord(int record, const std::function<QWidget*(RowPanel* row)>& pick,
                     Qt::FocusReason reason = Qt::OtherFocusReason);
  // The record and field number of the focused field, or {-1, -1}.
  std::pair<int, int> focusedField() const;
  int topIndex() const { return top_; }
  int pixelOffset() const { return offset_; }
  QScrollBar* verticalBar() const { return vbar_; }
  QScrollBar* horizontalBar() const { return hbar_; }
  // The widget that holds the row copies.
  QWidget* scrollArea() const { return viewport_; }

  // The selected records, ascending.
  std::vector<int> selectedRecords() const { return {selected_.begin(), selected_.end()}; }
  void setSelectedRecords(const std::vector<int>& records);
  void clearSelection() { setSelectedRecords({}); }
  // A click on row `record` as a list takes it (modifiers: Ctrl adds or
  // removes, Shift takes the range from the last click).
  void clickRecord(int record, Qt::KeyboardModifiers modifiers);

  QSize sizeHint() const override;

 signals:
  // A context menu was asked for over the row of `record` (outside a text
  // field, which has its own).
  void rowMenuRequested(int record, const QPoint& globalPos);

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  bool focusNextPrevChild(bool next) override;

 private:
  struct Row {
    RowPanel* panel;
    int record;
    std::vector<QWidget*> fields;  // the row's tab stops, in order
  };
  void layoutBars();
  void placeRows();
  void scrollVertically(int p);
  void fillRow(Row& r);
  void guardWheel(QWidget* row);
  QSize rowSize() const;
  // Takes the row's fields out of the window's tab order; the array walks them.
  static std::vector<QWidget*> takeTabStops(QWidget* row);
  // The next (or previous) tab stop of the window outside the array.
  QWidget* neighbourOutside(bool next) const;
  int fieldsPerRow() const;

  RowTemplate template_;
  RowPanel* templateRow_ = nullptr;
  QFrame* area_;
  QWidget* viewport_;
  QScrollBar* vbar_;
  QScrollBar* hbar_;
  std::vector<Row> rows_;
  RowCallback fill_, store_;
  ProgressCallback progress_;
  std::function<void(RowPanel*)> prepared_;
  int records_ = 0;
  int margin_ = 7;
  int spacing_ = 0;
  int visibleHint_ = 0;
  int top_ = 0;
  int offset_ = 0;
  bool ready_ = true;
  bool focusing_ = false;  // the array itself is moving the focus to a field
  std::set<int> selected_;
  int anchor_ = -1;
};

}  // namespace corvanta
