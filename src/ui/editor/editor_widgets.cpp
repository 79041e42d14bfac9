#include "ui/editor/editor_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolTip>
#include <QValidator>

#include "params/field_rules.h"
#include "params/out_of_format.h"
#include "ui/editor/field_tips.h"

#include "ui/widgets/check_list.h"
#include "ui/widgets/control_hint.h"
#include "ui/widgets/focus_frame.h"
#include "ui/widgets/radio_group.h"
#include "ui/widgets/rotated_label.h"

namespace corvanta {

namespace {

// Refuses characters the module could not give back as typed: they would
// be stored as '?', or dropped as padding (NUL, "˙").
class StorableTextValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    return input.isValidUtf16() && !unstorableCharacter(input.toStdString()) ? Acceptable : Invalid;
  }
};

// The widest character the module stores, in this font: a field of n
// characters must show n of them without scrolling.
int widestStorableCharacter(const QFont& font) {
  static QHash<QString, int> widths;
  const QString key = font.key();
  if (auto found = widths.constFind(key); found != widths.constEnd()) return *found;
  const QFontMetrics fm(font);
  int widest = 0;
  for (const QChar c : QString::fromStdString(printableStorableCharacters())) widest = qMax(widest, fm.horizontalAdvance(c));
  widths.insert(key, widest);
  return widest;
}

// The field's outer width for a text of `chars` of the widest character:
// the line edit's inner margins and the cursor beside the text, then the
// style's frame.
int fieldWidthFor(QLineEdit* e, int chars) {
  const QMargins m = e->textMargins() + e->contentsMargins();
  const int inner = chars * widestStorableCharacter(e->font()) + 2 * 2 + 1 + m.left() + m.right();
  QStyleOptionFrame option;
  option.initFrom(e);
  option.lineWidth = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, e);
  return e->style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inner, e->sizeHint().height()), e).width();
}

class LeaveFilter : public QObject {
 public:
  LeaveFilter(QLineEdit* edit, std::function<void()> check) : QObject(edit), check_(std::move(check)) {
    edit->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* e) override {
    // Focus that goes to another window or a context menu comes back to
    // the field; only leaving it within the editor counts.
    if (e->type() == QEvent::FocusOut) {
      const auto reason = static_cast<QFocusEvent*>(e)->reason();
      if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) check_();
    }
    return false;
  }

 private:
  std::function<void()> check_;
};

// The text a field showed for a value the image holds outside the format.
constexpr const char* kStoredTextProperty = "storedText";

}  // namespace

void markField(QWidget* control, const EditorContext& context, const std::string& path) {
  const auto found = context.outOfFormat.find(path);
  const bool outside = found != context.outOfFormat.end();
  const QString tip = fieldTip(path);
  control->setToolTip(outside ? tip + u'\n' + qs(outOfFormatTip(found->second)) : tip);
  if (auto* edit = qobject_cast<QLineEdit*>(control))
    edit->setProperty(kStoredTextProperty, outside ? QVariant(edit->displayText()) : QVariant());
}

bool showsStoredValue(const QLineEdit* edit) {
  const QVariant stored = edit->property(kStoredTextProperty);
  return stored.isValid() && stored.toString() == edit->displayText();
}

const QString kUnstorableCharacterText = QStringLiteral("Ezt a karaktert a modul nem tudja tárolni.");

void checkOnLeave(QLineEdit* edit, std::function<void()> check) { new LeaveFilter(edit, std::move(check)); }

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
  e->setFixedWidth(fieldWidthFor(e, limit.maxChars));
  e->setValidator(new StorableTextValidator(e));
  QObject::connect(e, &QLineEdit::inputRejected, e, [e] {
    QToolTip::showText(e->mapToGlobal(QPoint(0, e->height())), kUnstorableCharacterText, e);
  });
  if (!hint.isEmpty()) setHint(e, hint);
  return e;
}

QCheckBox* makeRowCheck(QWidget* parent, const QString& name, const QString& hint) {
  auto* c = new FocusCheckBox(parent);
  c->setObjectName(name);
  // A stop of Tab within the row (the panel array walks it); see CheckList.
  c->setFocusPolicy(Qt::TabFocus);
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
