#pragma once
// The status monitor's series as a sheet: each sample's time and its
// readings as numbers.

#include <vector>

#include "service/status_series.h"
#include "sheets/sheet.h"

namespace corvanta::sheets {

// "Időpont", "GSM térerő (0-31)", "Hőmérséklet (C°)", "Akkumulátor (V)",
// "Kapcsok (V)".
std::vector<Column> statusSeriesColumns();
// A reading the sample lacks is an empty cell.
std::vector<Row> statusSeriesSheetRows(const StatusSeries& series);

}  // namespace corvanta::sheets
