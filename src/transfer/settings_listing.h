#pragma once
// The settings listing made straight from the decoded values, without the
// editor's windows: the controls of the seven pages in the order the walk
// over the editor meets them, with the same names, values and notes. The
// command line prints it; the editor's walk must give the same lines.

#include <string>

#include "params/parameter_image.h"
#include "params/working_records.h"
#include "transfer/settings_text.h"

namespace corvanta::listing {

Lines settingsListing(const ParameterValues& values);

// The listing of an image as UTF-8, every line ended by '\n'.
std::string settingsListingText(const ParameterImage& image);

// The listing as the windows show and print it unless codes are asked for:
// every user code and the installer code as "••••".
Lines settingsListingCodesHidden(const ParameterImage& image);

}  // namespace corvanta::listing
