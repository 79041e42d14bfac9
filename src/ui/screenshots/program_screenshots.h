#pragma once
// Renders the program's own windows (splash, main window, port chooser,
// traffic log, transfer window) for corvanta-screenshots, in the state an
// installer sees after connecting to the simulated module and reading it.

#include <QString>

#include "params/parameter_image.h"

namespace corvanta {

void shootProgramWindows(const QString& dir, ParameterImage& image);

}  // namespace corvanta
