#include "sheets/sheet.h"

#include <charconv>
#include <chrono>
#include <cstdio>

namespace corvanta::sheets {

bool SheetDateTime::valid() const {
    using namespace std::chrono;
    if (month < 1 || month > 12 || day < 1 || day > 31) return false;
    const year_month_day date{std::chrono::year{year}, std::chrono::month{unsigned(month)},
                              std::chrono::day{unsigned(day)}};
    return date.ok() && year >= 1900 && hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 &&
           second < 60;
}

std::string SheetDateTime::text() const {
    char out[64];
    if (second != 0)
        std::snprintf(out, sizeof out, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
    else
        std::snprintf(out, sizeof out, "%04d-%02d-%02d %02d:%02d", year, month, day, hour, minute);
    return out;
}

std::string cellText(const Cell& cell) {
    if (const auto* text = std::get_if<std::string>(&cell)) return *text;
    if (const auto* moment = std::get_if<SheetDateTime>(&cell)) return moment->text();
    char out[32];
    const auto end = std::to_chars(out, out + sizeof out, std::get<double>(cell)).ptr;
    return std::string(out, end);
}

}  // namespace corvanta::sheets
