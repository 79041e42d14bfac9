#pragma once
// Renders the program's own windows (splash, main window, port chooser,
// traffic log, transfer window) for corvanta-screenshots, in the state an
// installer sees after connecting to the simulated module and reading it.

#include <QString>

class QWidget;

#include "params/parameter_image.h"

namespace corvanta {

void shootProgramWindows(const QString& dir, ParameterImage& image);

// Writes `name`.png with the window's client area and prints the path and
// its size.
void saveScreenshot(QWidget* window, const QString& dir, const QString& name);
// The largest client area saved so far, and the window it belongs to: the
// figure to hold against a laptop screen (1366 x 700 under the title bar).
void printLargestScreenshot();

}  // namespace corvanta
