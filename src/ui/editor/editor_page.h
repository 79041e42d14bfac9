#pragma once
// One tab sheet of the parameter editor. Row pages own a panel array over
// one record array of the working values; the other controls of a page are
// set from the working values on load and read back on save.

#include <QString>
#include <QWidget>

#include "ui/editor/editor_context.h"

class QFrame;

namespace corvanta {

class PanelArray;
struct RowTemplate;

class EditorPage : public QWidget {
  Q_OBJECT
 public:
  EditorPage(const QString& sheetName, EditorContext& context, QWidget* parent = nullptr);

  virtual PanelArray* panelArray() const { return nullptr; }
  // Working values -> controls that have no record.
  virtual void load() {}
  // Controls that have no record -> working values.
  virtual void save() {}

 protected:
  // The page panel that holds the page's controls ("FoPanel1").
  QFrame* makePagePanel(const QString& name);
  PanelArray* makeArray(QWidget* parent, const QString& name, const RowTemplate& t, int records,
                        int margin, int spacing, int visibleRows = 0);

  EditorContext& ctx_;
};

// Spaces after "<n>" + caption (". Zóna") that right-justify it in the
// template row with its full stop `margin` pixels from the left edge, so the
// full stops of all rows line up and the numbers grow to the left.
int rowCaptionPadding(const QWidget* templateRow, const QString& caption, int margin);

// Room to leave at a row's left edge for such captions.
int rowCaptionWidth(const QWidget* row, const QString& caption, int margin);

}  // namespace corvanta
