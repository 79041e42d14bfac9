#pragma once
// Finding a setting by a part of its caption or of its value, as the field
// catalogue names and shows every field: accents and case do not matter
// ("belepesi" finds "Belépési késlelt.", "kovacs" a user "Kovács P."). Codes
// are found by their caption, never by their digits; check boxes are found
// by caption alone ("nem" would find every box not ticked).

#include <vector>

#include <QString>

#include "params/working_records.h"
#include "ui/editor/field_controls.h"

namespace corvanta {

struct SearchHit {
  ControlAddress at;
  QString page;     // the tab caption
  QString row;      // "3. Zóna", "RELE 1"; empty for a field of its own
  QString caption;  // "Belépési késlelt."
  QString value;    // as the editor shows it, codes as "••••"
};

// Lower case, accents and other marks dropped: what a search compares.
QString foldedForSearch(const QString& text);

// The fields whose caption or value holds `text` (blanks at its ends
// ignored), in catalogue order; none for an empty text.
std::vector<SearchHit> searchSettings(const QString& text, const ParameterValues& values);

}  // namespace corvanta
