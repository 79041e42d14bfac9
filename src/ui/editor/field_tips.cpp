#include "ui/editor/field_tips.h"

#include <QHash>

#include "params/control_table.h"
#include "params/field_catalogue.h"
#include "ui/editor/editor_widgets.h"
#include "ui/editor/field_controls.h"

namespace corvanta {

namespace {

namespace ctl = controls;

// Items are written with blanks for their place on the page; a tip shows
// them with single blanks.
QString tidy(std::string_view item) { return qs(item).simplified(); }

const ctl::SpinRange* spinNamed(const QString& name) {
  static const ctl::SpinRange* const kSpins[] = {
      &ctl::edZonaErz,   &ctl::edZonaBeKesl, &ctl::edZonaKiKesl, &ctl::edZonaIntel,  &ctl::edZonaCover,
      &ctl::edNightDelay, &ctl::edHanguz,    &ctl::edREL1delay,  &ctl::edREL1time,   &ctl::edREL2delay,
      &ctl::edREL2time,  &ctl::edREL3delay,  &ctl::edREL3time,   &ctl::edOUT1delay,  &ctl::edOUT1time,
      &ctl::edOUT2delay, &ctl::edOUT2time,   &ctl::edTesztGyak,  &ctl::edOnOffMode,  &ctl::edAlarmMax,
      &ctl::edZoneAlarmMax, &ctl::edAutoArm};
  for (const auto* s : kSpins)
    if (qs(s->name) == name) return s;
  return nullptr;
}

const ctl::ItemList* listNamed(const QString& name) {
  static const ctl::ItemList* const kLists[] = {
      &ctl::rgZonaBek, &ctl::rgZonaPart, &ctl::cbNightSet, &ctl::cbRFButtA,  &ctl::cbRFButtB,  &ctl::cbRFButtC,
      &ctl::cbRFButtD, &ctl::cbACK1,     &ctl::cbACK2,     &ctl::cbACK3,     &ctl::cbACK4,     &ctl::cbOUT1mode,
      &ctl::cbOUT2mode, &ctl::rgKEYPAD_LIGHT};
  for (const auto* l : kLists)
    if (qs(l->name) == name) return l;
  return nullptr;
}

const ctl::TextLimit* textNamed(const QString& name) {
  static const ctl::TextLimit* const kTexts[] = {&ctl::edZonaNeve, &ctl::edUserName, &ctl::edUserCode,
                                                 &ctl::edMasterCode, &ctl::meCTID, &ctl::edSMS};
  for (const auto* t : kTexts)
    if (qs(t->name) == name) return t;
  return nullptr;
}

// What a field takes, in a line or a few.
QString takes(std::string_view path, const ControlAddress& a) {
  const QString unit = unitOf(path);
  if (const auto* spin = spinNamed(a.control)) {
    QString s = QStringLiteral("%1–%2").arg(spin->min).arg(spin->max);
    if (!unit.isEmpty()) s += u' ' + unit;
    if (a.control == u"edZoneAlarmMax") s += QStringLiteral(" (0 = nincs korlátozva)");
    if (a.control == u"edAutoArm") s += QStringLiteral(" (0 = kikapcsolva)");
    return s;
  }
  if (a.item < 0) {
    if (const auto* list = listNamed(a.control)) {
      QStringList items;
      for (int i = 0; i < list->count(); ++i) items << QStringLiteral("– ") + tidy(list->items[std::size_t(i)]);
      return items.join(u'\n');
    }
  }
  if (a.control == u"edUserCode" || a.control == u"edMasterCode")
    return QStringLiteral("4 vagy 6 számjegy (a * helyén nincs számjegy)");
  if (a.control == u"meCTID") return QStringLiteral("3 hexadecimális jegy (0–9, A–F)");
  if (a.control == u"meTesztIdopont") return QStringLiteral("óó:pp, 00:00–23:59");
  if (a.control == u"acgUserAccount") return QStringLiteral("4 hexadecimális jegy (0–9, A–F)");
  if (a.control.startsWith(u"acg")) return QStringLiteral("legfeljebb %1 számjegy").arg(ctl::kPhoneCells);
  if (const auto* text = textNamed(a.control)) return QStringLiteral("legfeljebb %1 karakter").arg(text->maxChars);
  return QStringLiteral("bejelölve vagy üresen");
}

QString columnCaption(const std::string& caption) {
  const std::string dot = " \u00b7 ";
  const auto cut = caption.find(dot);
  return qs(cut == std::string::npos ? caption : caption.substr(cut + dot.size()));
}

}  // namespace

QString fieldTip(std::string_view path) {
  static QHash<QString, QString> made;
  const QString key = qs(path);
  if (auto found = made.constFind(key); found != made.constEnd()) return *found;
  const fields::Field* field = fields::fieldAt(path);
  const auto address = controlFor(path);
  if (!field || !address) return {};
  const QString tip = qs(field->caption) + u'\n' + takes(path, *address);
  made.insert(key, tip);
  return tip;
}

QString columnTip(int page, const QString& control, int item) {
  ControlAddress a{page, isRowPage(page) ? 0 : -1, control, -1};
  // A check list's item is a field of its own; a radio group's option is
  // one value of the group's field.
  std::string path = fieldPathAt(ControlAddress{a.page, a.record, control, item});
  const bool option = path.empty() && item >= 0;
  if (option) path = fieldPathAt(a);
  const fields::Field* field = fields::fieldAt(path);
  if (!field) return {};
  if (option) {
    const auto* list = listNamed(control);
    if (!list || item >= list->count()) return {};
    return columnCaption(field->caption) + QStringLiteral(": ") + tidy(list->items[std::size_t(item)]);
  }
  a.item = item;
  return columnCaption(field->caption) + u'\n' + takes(path, a);
}

QString shortcutNote(const QString& tip, const QString& keys) {
  return tip.isEmpty() ? keys : tip + QStringLiteral(" (") + keys + u')';
}

}  // namespace corvanta
