#include "ui/editor/editor_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "ui/widgets/check_list.h"
#include "ui/widgets/control_hint.h"
#include "ui/widgets/radio_group.h"
#include "ui/widgets/rotated_label.h"

namespace corvanta {

QStringList itemTexts(const controls::ItemList& list) {
  QStringList out;
  for (std::string_view item : list.items) out << qs(item);
  return out;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  return l;
}

RotatedLabel* makeRotated(QWidget* parent, const QString& name, const QString& text) {
  auto* l = new RotatedLabel(text, parent);
  l->setObjectName(name);
  return l;
}

QSpinBox* makeSpin(QWidget* parent, const controls::SpinRange& range, const QString& hint) {
  auto* s = new QSpinBox(parent);
  s->setObjectName(qs(range.name));
  s->setRange(range.min, range.max);
  s->setValue(range.min);
  if (!hint.isEmpty()) setHint(s, hint);
  return s;
}

QComboBox* makeCombo(QWidget* parent, const controls::ItemList& list, const QString& hint) {
  auto* c = new QComboBox(parent);
  c->setObjectName(qs(list.name));
  c->addItems(itemTexts(list));
  c->setCurrentIndex(-1);
  c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  if (!hint.isEmpty()) setHint(c, hint);
  return c;
}

QLineEdit* makeEdit(QWidget* parent, const controls::TextLimit& limit, const QString& hint) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(qs(limit.name));
  e->setMaxLength(limit.maxChars);
  // Room for the longest text plus the frame: the widest letters are rare,
  // so an average-width sample keeps the columns compact.
  const QFontMetrics fm(e->font());
  e->setFixedWidth(fm.horizontalAdvance(QString(limit.maxChars, u'N')) + 12);
  if (!hint.isEmpty()) setHint(e, hint);
  return e;
}

QCheckBox* makeRowCheck(QWidget* parent, const QString& name, const QString& hint) {
  auto* c = new QCheckBox(parent);
  c->setObjectName(name);
  c->setFocusPolicy(Qt::NoFocus);
  c->setMinimumWidth(QFontMetrics(c->font()).height() + 4);
  setHint(c, hint);
  return c;
}

CheckList* makeRowCheckList(QWidget* parent, const controls::ItemList& list, const QString& hint) {
  auto* c = new CheckList(QStringList(int(list.count()), QString()), list.count(), parent);
  c->setObjectName(qs(list.name));
  setHint(c, hint);
  return c;
}

RadioGroup* makeRowRadioGroup(QWidget* parent, const controls::ItemList& list, const QString& hint) {
  auto* r = new RadioGroup(QString(), QStringList(int(list.count()), QString()), list.count(), parent);
  r->setObjectName(qs(list.name));
  setHint(r, hint);
  return r;
}

int widestText(const QWidget* w, const QStringList& texts) {
  const QFontMetrics fm(w->font());
  int widest = 0;
  for (const QString& t : texts) widest = qMax(widest, fm.horizontalAdvance(t));
  return widest;
}

}  // namespace corvanta
