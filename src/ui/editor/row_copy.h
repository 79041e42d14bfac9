#pragma once
// Copying one row of a row page onto others: a zone's, user's, event's,
// relay trigger's or remote control's settings pasted onto the rows chosen.
// What names a row (a zone's or user's name), a user's code and an event's
// SMS text belong to that row alone; they go along only when asked for.

#include <vector>

#include "params/working_records.h"

namespace corvanta {

// What a paste may carry besides the settings.
struct PasteOptions {
  bool names = false;
  bool codes = false;
  bool sms = false;
};

// Which of those the rows of `page` have (none of them: nothing to ask).
PasteOptions pasteOffer(int page);
bool offersAnything(const PasteOptions& offer);

// Record `source` of `page` in `from` onto records `targets` of `values`.
void pasteRow(ParameterValues& values, int page, const ParameterValues& from, int source,
              const std::vector<int>& targets, const PasteOptions& options);

// Records of a row page kept aside, to put back (a paste taken back).
struct RowRecords {
  int page = -1;
  std::vector<int> records;
  ParameterValues values;
};
RowRecords keepRecords(const ParameterValues& values, int page, const std::vector<int>& records);
void putBack(ParameterValues& values, const RowRecords& kept);

}  // namespace corvanta
