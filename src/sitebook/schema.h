#pragma once
// The site book's tables, as the steps that built them: step n takes a book
// from version n - 1 to version n. A book is only ever moved forward by
// these steps, never rebuilt, so every row survives an upgrade.

#include <QStringList>

#include <vector>

namespace corvanta::sitebook {

inline constexpr int kSchemaVersion = 7;

// The step after whose statements migrate() moves every snapshot's image
// into the images table, once each, checking each as it goes.
inline constexpr int kImagesStoredOnceStep = 5;
// The version that keeps who made each row, and the kept site secrets: an
// older book (only tests open one) is written without them.
inline constexpr int kWhoVersion = 7;

// migrationSteps()[n - 1] is step n; portable SQL with the dialect's {id}
// and {bytes} words. The version row is set by the caller.
const std::vector<QStringList>& migrationSteps();

}  // namespace corvanta::sitebook
