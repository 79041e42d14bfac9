#include "ui/editor/editor_page.h"

#include <QFrame>
#include <QVBoxLayout>

#include "ui/widgets/panel_array.h"
#include "ui/widgets/row_panel.h"

namespace corvanta {

EditorPage::EditorPage(const QString& sheetName, EditorContext& context, QWidget* parent)
    : QWidget(parent), ctx_(context) {
  setObjectName(sheetName);
}

QFrame* EditorPage::makePagePanel(const QString& name) {
  auto* panel = new QFrame(this);
  panel->setObjectName(name);
  // The shared click handler parks the focus here.
  panel->setFocusPolicy(Qt::ClickFocus);
  auto* l = new QVBoxLayout(this);
  l->setContentsMargins(0, 0, 0, 0);
  l->addWidget(panel);
  return panel;
}

PanelArray* EditorPage::makeArray(QWidget* parent, const QString& name, const RowTemplate& t,
                                  int records, int margin, int spacing, int visibleRows) {
  auto* a = new PanelArray(parent);
  a->setObjectName(name);
  a->setRecordCount(records);
  a->setFrameMargin(margin);
  a->setRowSpacing(spacing);
  a->setVisibleRowsHint(visibleRows);
  a->setRowTemplate(t);
  a->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  return a;
}

int rowCaptionWidth(const QWidget* row, const QString& caption, int margin) {
  const QFontMetrics fm(row->font());
  // The numbers grow to the left of the margin; make sure "12" fits there.
  return qMax(margin, fm.horizontalAdvance(QStringLiteral("12")) + 4) + fm.horizontalAdvance(caption) + 6;
}

int rowCaptionPadding(const QWidget* templateRow, const QString& caption, int margin) {
  const QFontMetricsF fm(templateRow->font());
  const qreal m = qMax<qreal>(margin, fm.horizontalAdvance(QStringLiteral("12")) + 4);
  // Blanks in a run may be laid out on whole pixels; measure a run.
  constexpr int kRun = 64;
  const qreal space = fm.horizontalAdvance(QString(kRun, u' ')) / kRun;
  return captionPadding(templateRow->sizeHint().width(), m, fm.horizontalAdvance(caption), space);
}

}  // namespace corvanta
