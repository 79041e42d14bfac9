#pragma once
// The short event list and a site's event history as sheets, and the texts
// of a history entry that every view of it (window, command line, report)
// shows.

#include <QString>
#include <QStringList>

#include <vector>

#include "service/dated_events.h"
#include "sheets/sheet.h"
#include "sitebook/site_events.h"

namespace corvanta::sheets {

// The list's 14 columns, "Sorszám" .. "Státusz".
std::vector<Column> eventListColumns();
// Its rows, each entry's time as a date from the load's own time.
std::vector<Row> eventListSheetRows(const EventMemory& memory, const ModuleNames& names,
                                    const ModuleMinute& loadedAt);

// "Időpont", "Esemény", "Zóna / Felhasználó", T1 .. "Közp", "Státusz",
// "Betöltve".
inline constexpr int kSiteEventColumns = 14;
QStringList siteEventTitles();
std::vector<Column> siteEventColumns();
// An entry's cells as kept text: the time as stored, the event name
// without its padding, the load in local time.
QStringList siteEventTexts(const sitebook::SiteEvent& event);
Row siteEventRow(const sitebook::SiteEvent& event);

// A moment of the module's clock as stored ("YYYY-MM-DD HH:MM").
SheetDateTime sheetTimeOf(const QString& moduleMinute);

}  // namespace corvanta::sheets
