#pragma once
// Which control of the editor shows which field of the catalogue: the page,
// the record (on the row pages), the control's name in the row or on the
// page, and the item of a check list. The undo history names its steps by
// it, the search opens a found field by it, the tooltips and the row
// copies know their fields by it. One table, so a field the catalogue gains
// is found, named and copied once it has its line here.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QString>

namespace corvanta {

// The editor's pages in tab order.
enum EditorPageIndex : int {
  kZonesPage = 0,
  kUsersPage,
  kEventsPage,
  kRelaysPage,
  kTelephonePage,
  kRemotesPage,
  kKeypadPage,
};

struct ControlAddress {
  int page = -1;
  int record = -1;  // the row's record; -1 for a control of the page itself
  QString control;  // "edZonaBeKesl": a row control's template name, or a page control's name
  int item = -1;    // the item of a check list; -1 for the whole control

  bool operator==(const ControlAddress&) const = default;
};

// The key path of the field the addressed control shows ("zones[2].entryDelay");
// empty when it shows none.
std::string fieldPathAt(const ControlAddress& address);
// Where the field of that key path is shown; none for a path no control shows.
std::optional<ControlAddress> controlFor(std::string_view path);
// Every field path of one row of a row page, for record `record`.
std::vector<std::string> rowFieldPaths(int page, int record);
// Whether the page shows one row per record.
bool isRowPage(int page);
// The number of records of a row page (0 for the others).
int recordCount(int page);

// The unit of a field's number, as the page's labels say it ("másodperc");
// empty for a field without one.
QString unitOf(std::string_view path);

// The tab caption of a page.
QString pageCaption(int page);

}  // namespace corvanta
