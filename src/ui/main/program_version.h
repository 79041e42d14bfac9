#pragma once
// The version texts the windows show.

#include <QString>

#include "link/version_block.h"

namespace corvanta {

inline constexpr const char* kProgramVersion = "v1.30";
inline constexpr const char* kApplicationTitle = "GSM-Corvanta Mirovel";

// "v1.30 (dv.2)": the splash label.
inline QString versionCaption() {
    return QStringLiteral("%1 (dv.%2)").arg(QLatin1String(kProgramVersion)).arg(kProgramDataVersion);
}

// "GSM-Corvanta  v1.30 (dv.2)": the main window's caption, two blanks after
// the product name.
inline QString mainWindowCaption() { return QStringLiteral("GSM-Corvanta  ") + versionCaption(); }

}  // namespace corvanta
