#include "ui/editor/settings_export.h"

#include <algorithm>
#include <functional>
#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>

#include "transfer/settings_text.h"
#include "ui/widgets/char_grid.h"
#include "ui/widgets/check_list.h"
#include "ui/widgets/control_hint.h"
#include "ui/editor/editor_page.h"
#include "ui/widgets/panel_array.h"
#include "ui/editor/parameter_editor.h"
#include "ui/widgets/radio_group.h"
#include "ui/widgets/row_cloning.h"
#include "ui/widgets/row_panel.h"

namespace corvanta {

namespace {

using listing::Line;

Line u32(const QString& s) { return s.toStdU32String(); }
QString qstr(const Line& s) { return QString::fromStdU32String(s); }

// Plain containers: they stand for nothing themselves, their children do.
bool isPanel(const QWidget* w) {
  const QMetaObject* m = w->metaObject();
  return m == &QWidget::staticMetaObject || m == &QFrame::staticMetaObject || m == &RowPanel::staticMetaObject;
}
bool isTabSheet(const QWidget* w) { return qobject_cast<const EditorPage*>(w) != nullptr; }
bool isPageControl(const QWidget* w) { return qobject_cast<const QTabWidget*>(w) != nullptr; }
bool isLabel(const QWidget* w) { return qobject_cast<const QLabel*>(w) != nullptr; }
// A group box (not a radio group, which is a control of its own) frames
// controls that are settings too, such as the door-chime list.
bool isGroupBox(const QWidget* w) {
  return qobject_cast<const QGroupBox*>(w) && !qobject_cast<const RadioGroup*>(w);
}

// The controls a container holds. A page control holds its pages (Qt keeps
// them in an inner stack); other windows are not part of this one.
QList<QWidget*> childControls(const QWidget* w) {
  QList<QWidget*> out;
  if (auto* tabs = qobject_cast<const QTabWidget*>(w)) {
    for (int i = 0; i < tabs->count(); ++i) out << tabs->widget(i);
    return out;
  }
  for (QObject* o : w->children())
    if (o->isWidgetType() && !static_cast<QWidget*>(o)->isWindow()) out << static_cast<QWidget*>(o);
  return out;
}

// By left edge, then top edge; equal places keep their child order.
QList<QWidget*> byPosition(QList<QWidget*> list) {
  std::stable_sort(list.begin(), list.end(), [](const QWidget* a, const QWidget* b) {
    return a->x() != b->x() ? a->x() < b->x() : a->y() < b->y();
  });
  return list;
}

// Places every child by its layout. A window that was never shown has had
// no resize events, so the nested layouts are run here, outside in.
void layOutTree(QWidget* w) {
  if (QLayout* l = w->layout()) {
    l->activate();
    l->setGeometry(w->contentsRect());
  }
  for (QWidget* c : childControls(w))
    if (!qobject_cast<PanelArray*>(c)) layOutTree(c);
}

// The controls of a row copy in walk order: panels entered, labels left out.
void rowControls(const QWidget* w, QList<QWidget*>& out) {
  for (QWidget* c : byPosition(childControls(w))) {
    if (isLabel(c)) continue;
    if (isPanel(c))
      rowControls(c, out);
    else
      out << c;
  }
}

}  // namespace

SettingsExport::SettingsExport(const QWidget* window) : window_(window) {}

QWidget* SettingsExport::findControlByName(const QString& name) {
  if (!namesIndexed_) {
    // The first control of each name in depth-first child order.
    const std::function<void(const QWidget*)> index = [&](const QWidget* w) {
      for (QWidget* c : childControls(w)) {
        if (!c->objectName().isEmpty() && !names_.contains(c->objectName())) names_.insert(c->objectName(), c);
        if (isPanel(c) || isTabSheet(c) || isPageControl(c)) index(c);
      }
    };
    if (window_) index(window_);
    namesIndexed_ = true;
  }
  return names_.value(name, nullptr);
}

QString SettingsExport::hintReferenceText(const QString& hint, int index) {
  QStringList texts;
  for (const Line& name : listing::hintNames(u32(hint), index)) {
    const QWidget* w = findControlByName(qstr(name));
    // A hint that leads back to a control being resolved (a radio group
    // naming itself) reads as not found instead of recursing without end.
    if (!w || resolving_.contains(w)) {
      texts << QString();
      continue;
    }
    resolving_ << w;
    texts << controlValueText(w, true);
    resolving_.removeLast();
  }
  return texts.join(u' ');
}

QString SettingsExport::controlValueText(const QWidget* w, bool withItemTexts) {
  using namespace listing;
  // With item texts, an index is followed by its item's caption or, when
  // that is empty, by what the hint names for that index.
  const auto indexText = [&](int index, const QString& caption) {
    std::optional<Line> fromHint;
    const QString hint = hintOf(w);
    if (withItemTexts && !hint.isEmpty() && listing::trimmed(u32(caption)).empty())
      fromHint = u32(hintReferenceText(hint, index));
    return qstr(withItemTexts ? indexWithItemText(index, u32(caption), fromHint) : u32(QString::number(index)));
  };
  if (auto* l = qobject_cast<const QLabel*>(w)) return qstr(trimmed(u32(l->text())));
  if (auto* c = qobject_cast<const QCheckBox*>(w)) return qstr(checkMark(c->isChecked()));
  if (auto* c = qobject_cast<const CheckList*>(w)) {
    std::vector<bool> items;
    for (int i = 0; i < c->count(); ++i) items.push_back(c->isChecked(i));
    return qstr(checkListText(items));
  }
  if (auto* r = qobject_cast<const RadioGroup*>(w)) {
    const int i = r->itemIndex();
    return indexText(i, i >= 0 ? r->items().value(i) : QString());
  }
  if (auto* e = qobject_cast<const QLineEdit*>(w)) {
    // A masked edit reads as it shows, its literals and blanks included.
    const QString text = e->inputMask().isEmpty() ? e->text() : e->displayText();
    return qstr(textOrEmptyMark(u32(text)));
  }
  if (auto* s = qobject_cast<const QSpinBox*>(w)) return QString::number(s->value());
  if (auto* c = qobject_cast<const QComboBox*>(w)) {
    const int i = c->currentIndex();
    return indexText(i, i >= 0 ? c->itemText(i) : QString());
  }
  if (auto* g = qobject_cast<const CharGrid*>(w)) {
    if (g->cellCount() == 0) return QString(QChar(kEmptyMark));
    QString cells;
    for (int c = 0; c < g->cellCount(); ++c) {
      const QString cell = g->cell(c);
      cells += cell.isEmpty() ? QChar(u' ') : cell.at(0);
    }
    return cells;
  }
  return {};
}

void SettingsExport::table(const PanelArray* array, QStringList& out) {
  std::unique_ptr<RowPanel> copy(array->cloneTemplate(nullptr));
  layOutTree(copy.get());
  QList<QWidget*> controls;
  rowControls(copy.get(), controls);
  std::vector<Line> names;
  for (const QWidget* c : controls) names.push_back(u32(c->objectName()));
  std::vector<listing::ArrayRow> rows;
  for (int i = 0; i < array->recordCount(); ++i) {
    array->fillCopy(copy.get(), i);
    listing::ArrayRow row{u32(copy->caption()), {}};
    for (const QWidget* c : controls) row.values.push_back(u32(controlValueText(c, true)));
    rows.push_back(std::move(row));
  }
  for (const Line& l : listing::arrayTable(u32(array->objectName()), names, rows)) out << qstr(l);
}

void SettingsExport::walk(QWidget* w, QStringList& out) {
  const bool sheet = isTabSheet(w);
  if (sheet)
    for (const Line& l : listing::tabSheetHeading(u32(w->objectName()))) out << qstr(l);
  auto* array = qobject_cast<PanelArray*>(w);
  if (array) table(array, out);
  if (!isLabel(w) && !isPanel(w) && !array && !sheet) {
    std::optional<Line> note;
    if (const QString hint = hintOf(w); !hint.isEmpty())
      note = u32(hintReferenceText(hint, 0));
    else if (auto* c = qobject_cast<const QCheckBox*>(w))
      note = u32(c->text());
    out << qstr(listing::itemLine(u32(w->objectName()), u32(controlValueText(w, false)), note));
  }
  if (isPanel(w) || sheet || isPageControl(w) || isGroupBox(w)) {
    for (QWidget* c : byPosition(childControls(w))) {
      if (isPanel(c) && hintOf(c) == kTemplateHint) continue;
      walk(c, out);
    }
  }
}

QStringList SettingsExport::exportSettingsText(QWidget* root) {
  QStringList raw;
  walk(root, raw);
  listing::Lines lines;
  for (const QString& l : raw) lines.push_back(u32(l));
  listing::finishListing(lines);
  QStringList out;
  for (const Line& l : lines) out << qstr(l);
  return out;
}

QStringList exportEditorSettings(ParameterEditor& editor, const ParameterImage& image) {
  editor.prepareForExport(image);
  // Every page gets the room the page control gives the largest one, as
  // when the window is on screen, and is laid out for the walk.
  QTabWidget* pages = editor.pageControl();
  QSize room;
  for (int i = 0; i < pages->count(); ++i)
    room = room.expandedTo(pages->widget(i)->sizeHint()).expandedTo(pages->widget(i)->minimumSizeHint());
  for (int i = 0; i < pages->count(); ++i) {
    pages->widget(i)->resize(room);
    layOutTree(pages->widget(i));
  }
  return SettingsExport(&editor).exportSettingsText(pages);
}

}  // namespace corvanta
