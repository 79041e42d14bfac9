#pragma once
// The list of fields that differ between two images as windows show it:
// the warnings about codes first, one line per field (codes as "••••"), and
// the count. The write's review before it is sent and the editor's "changes
// since the image was read or opened" both show it.

#include <QString>
#include <QStringList>

#include "params/write_review.h"

namespace corvanta {

// "Figyelem: 3 felhasználói kódot felülír – …"; empty when none.
QStringList codeWarnings(const WriteReview& review);
// One line per field, and one for the module's own bytes.
QStringList changeLines(const WriteReview& review);
// "Összesen 5 mező." ("1 mező.")
QString fieldCountLine(const WriteReview& review);

// The whole list, paragraphs apart: warnings, lines, count.
QString changeListText(const WriteReview& review);

}  // namespace corvanta
