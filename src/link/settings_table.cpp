#include "link/settings_table.h"

#include <algorithm>
#include <charconv>

namespace corvanta {
namespace {

constexpr int kDefaultWidth = 20;
// Far more than the two cells this program keeps; a larger count is taken
// as damage, not as a table to write back line by line.
constexpr int kMaxCount = 256;
constexpr char kCrMark = '\t';
constexpr char kLfMark = '\b';

std::optional<int> number(std::string_view s)
{
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    int n = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return n;
}

std::vector<std::string_view> lines(std::string_view text)
{
    std::vector<std::string_view> out;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        out.push_back(line);
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
    }
    return out;
}

std::string decodeCell(std::string text)
{
    // A line break in a cell is written as its mark; a bare CR or LF that
    // stands in the file itself is damage, and kept it would end up in the
    // modem number as a second command.
    std::erase(text, '\r');
    std::erase(text, '\n');
    // Only a text that holds an LF mark went through the encoding; a TAB in
    // any other text is a real TAB.
    if (text.find(kLfMark) == std::string::npos) return text;
    std::replace(text.begin(), text.end(), kCrMark, '\r');
    std::replace(text.begin(), text.end(), kLfMark, '\n');
    return text;
}

std::string encodeCell(std::string text)
{
    std::replace(text.begin(), text.end(), '\r', kCrMark);
    std::replace(text.begin(), text.end(), '\n', kLfMark);
    return text;
}

}  // namespace

std::string SettingsTable::cell(int column, int row) const
{
    const auto it = cells.find({column, row});
    return it == cells.end() ? std::string() : it->second;
}

void SettingsTable::setCell(int column, int row, const std::string& text)
{
    if (text.empty()) {
        cells.erase({column, row});
        return;
    }
    columns = std::max(columns, column + 1);
    rows = std::max(rows, row + 1);
    widths.resize(static_cast<std::size_t>(columns), kDefaultWidth);
    cells[{column, row}] = text;
}

std::optional<SettingsTable> parseSettingsTable(std::string_view text)
{
    const std::vector<std::string_view> all = lines(text);
    if (all.empty() || all.front().empty()) return std::nullopt;

    const std::string_view size = all.front();
    const std::size_t comma = size.find(',');
    SettingsTable table;
    table.columns = number(size.substr(0, comma)).value_or(0);
    table.rows = comma == std::string_view::npos ? 0 : number(size.substr(comma + 1)).value_or(0);
    if (table.columns <= 0 || table.rows <= 0 || table.columns > kMaxCount || table.rows > kMaxCount)
        return std::nullopt;
    table.widths.assign(static_cast<std::size_t>(table.columns), kDefaultWidth);

    for (std::size_t i = 1; i < all.size(); ++i) {
        const std::string_view line = all[i];
        if (line.empty()) continue;
        if (line.starts_with("cw")) {
            const std::size_t sep = line.find(',');
            if (line.size() < 3 || sep == std::string_view::npos) return std::nullopt;
            const auto column = number(line.substr(3, sep - 3));
            const auto width = number(line.substr(sep + 1));
            if (!column || !width) return std::nullopt;
            if (*column >= 0 && *column < table.columns)
                table.widths[static_cast<std::size_t>(*column)] = *width;
            continue;
        }
        const std::size_t first = line.find(',');
        const std::size_t second = first == std::string_view::npos ? first : line.find(',', first + 1);
        if (second == std::string_view::npos) return std::nullopt;
        const auto column = number(line.substr(0, first));
        const auto row = number(line.substr(first + 1, second - first - 1));
        if (!column || !row) return std::nullopt;
        const std::string cellText = decodeCell(std::string(line.substr(second + 1)));
        if (*column >= 0 && *column < table.columns && *row >= 0 && *row < table.rows && !cellText.empty())
            table.cells[{*column, *row}] = cellText;
    }
    return table;
}

std::string formatSettingsTable(const SettingsTable& table)
{
    std::string out = std::to_string(table.columns) + "," + std::to_string(table.rows) + "\r\n";
    for (int c = 0; c < table.columns; ++c) {
        const int width = static_cast<std::size_t>(c) < table.widths.size()
                              ? table.widths[static_cast<std::size_t>(c)] : kDefaultWidth;
        out += "cw " + std::to_string(c) + "," + std::to_string(width) + "\r\n";
    }
    // Row by row, each row's columns in order.
    for (int r = 0; r < table.rows; ++r)
        for (int c = 0; c < table.columns; ++c) {
            const std::string text = table.cell(c, r);
            if (!text.empty())
                out += std::to_string(c) + "," + std::to_string(r) + "," + encodeCell(text) + "\r\n";
        }
    return out;
}

}  // namespace corvanta
