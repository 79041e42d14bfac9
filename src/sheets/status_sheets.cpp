#include "sheets/status_sheets.h"

#include <ctime>

namespace corvanta::sheets {

namespace {

Cell localTime(std::int64_t timeMs) {
    // Floor, not truncation, so a time before 1970 does not round upwards.
    const std::time_t seconds = std::time_t(timeMs >= 0 ? timeMs / 1000 : -((-timeMs + 999) / 1000));
    std::tm t{};
    if (localtime_r(&seconds, &t) == nullptr) return std::string();
    return SheetDateTime{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

Cell volts(int tenths) { return tenths / 10.0; }

}  // namespace

std::vector<Column> statusSeriesColumns() {
    return {{"Időpont", 19}, {"GSM térerő (0-31)", 17}, {"Hőmérséklet (C°)", 16}, {"Akkumulátor (V)", 15},
            {"Kapcsok (V)", 11}};
}

std::vector<Row> statusSeriesSheetRows(const StatusSeries& series) {
    std::vector<Row> rows;
    for (const StatusSample& s : series.samples()) {
        rows.push_back({localTime(s.timeMs), double(s.gsmLevel),
                        s.temperature ? Cell(double(*s.temperature)) : Cell(std::string()),
                        s.batteryTenths ? volts(*s.batteryTenths) : Cell(std::string()), volts(s.terminalTenths)});
    }
    return rows;
}

}  // namespace corvanta::sheets
