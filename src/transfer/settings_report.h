#pragma once
// The settings report: the configuration of an image as a customer or a
// colleague reads it, page by page of the editor, each value under the
// editor's own caption and shown as the editor shows it. Rows of check
// boxes (rights, report routes, relay triggers, door-chime inputs) read as
// one line naming what is ticked. Codes are hidden unless asked for.
// Plain values; the windows and the command line lay them out on paper.

#include <string>
#include <vector>

#include "params/parameter_image.h"

namespace corvanta::report {

struct Row {
    std::string caption;
    std::string value;
};

// One row of a page in the editor ("3. Zóna"); an empty title holds the
// page's settings that belong to no row.
struct Section {
    std::string title;
    std::vector<Row> rows;
};

struct Page {
    std::string title;  // the editor's tab caption
    std::vector<Section> sections;
};

// Shown for a row of check boxes none of which is ticked.
inline constexpr const char* kNoneTicked = "\u2013";

// Every field of the catalogue once, on the editor's seven pages in their
// order.
std::vector<Page> settingsReport(const ParameterImage& image, bool showCodes = false);

}  // namespace corvanta::report
