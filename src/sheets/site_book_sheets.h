#pragma once
// The site book's lists as sheets: the sites, and the writes with the
// fields each changed (codes hidden unless asked for, as on screen).

#include <QDateTime>

#include <map>
#include <vector>

#include "sheets/sheet.h"
#include "sitebook/site_records.h"

namespace corvanta::sheets {

std::vector<Column> siteListColumns();
// `lastRead`: when the site was read last; an invalid time when never.
Row siteListRow(const sitebook::Site& site, const QDateTime& lastRead);

std::vector<Column> auditColumns();
Row auditRow(const sitebook::WriteRecord& write, bool showCodes);

}  // namespace corvanta::sheets
