#pragma once
// Builders for the editor's controls: each gets its system name, its hint
// and its range or items from the codec's control table, so the windows
// never restate a range or an item text.

#include <functional>
#include <string>
#include <string_view>

#include <QString>

#include "params/control_table.h"
#include "ui/editor/editor_context.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QWidget;

namespace corvanta {

class CheckList;
class RadioGroup;
class RotatedLabel;

inline QString qs(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }
inline QString qs(const std::string& utf8) { return QString::fromStdString(utf8); }
QStringList itemTexts(const controls::ItemList& list);

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text);
RotatedLabel* makeRotated(QWidget* parent, const QString& name, const QString& text);
QSpinBox* makeSpin(QWidget* parent, const controls::SpinRange& range, const QString& hint);
QComboBox* makeCombo(QWidget* parent, const controls::ItemList& list, const QString& hint);
// A text field. Characters the module cannot store as typed are refused as
// they are typed or pasted, with kUnstorableCharacterText shown at the field.
QLineEdit* makeEdit(QWidget* parent, const controls::TextLimit& limit, const QString& hint);
extern const QString kUnstorableCharacterText;

// Runs `check` each time the focus leaves `edit` within the editor; focus
// taken by another window or a popup comes back and does not count.
void checkOnLeave(QLineEdit* edit, std::function<void()> check);
// A caption-less check box inside a row.
QCheckBox* makeRowCheck(QWidget* parent, const QString& name, const QString& hint);
// A caption-less check list inside a row, one column per item.
CheckList* makeRowCheckList(QWidget* parent, const controls::ItemList& list, const QString& hint);
// A caption-less radio group inside a row, one column per item.
RadioGroup* makeRowRadioGroup(QWidget* parent, const controls::ItemList& list, const QString& hint);

// The smallest width that holds every given text in the widget's font.
int widestText(const QWidget* w, const QStringList& texts);

// After a control was filled from field `path`: its tooltip names the field
// and what it takes; when the image holds the field outside the format, the
// tooltip says so too, with the stored bytes, and a text field remembers the
// text it shows for it. Rows are refilled for other records, so every fill
// marks again.
void markField(QWidget* control, const EditorContext& context, const std::string& path);
// Whether `edit` still shows the out-of-format value it was filled with: that
// value is the module's and is not checked as if it had been typed.
bool showsStoredValue(const QLineEdit* edit);

}  // namespace corvanta
