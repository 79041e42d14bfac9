#include "sheets/xlsx_sheet.h"

#include <xlsxwriter.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>
#include <utility>

namespace corvanta::sheets {

namespace {

// What a cell of a workbook takes, in bytes of UTF-8.
constexpr std::size_t kMaxCellText = 32767;
constexpr int kMaxSheetName = 31;
constexpr lxw_row_t kMaxRows = 1048576;

// Cut at a character's start, never inside one.
std::string fitted(const std::string& text) {
    if (text.size() <= kMaxCellText) return text;
    std::size_t end = kMaxCellText;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

std::string sheetNameOf(const std::string& wanted) {
    std::string name;
    int characters = 0;
    for (char c : wanted) {
        const bool continuation = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
        if (!continuation && ++characters > kMaxSheetName) break;
        name += std::string("[]:*?/\\").find(c) == std::string::npos ? c : '_';
    }
    return name.empty() ? std::string("Lap") : name;
}

}  // namespace

struct XlsxSheet::Book {
    std::string path;  // the workbook until finish() reads it back
    lxw_workbook* workbook = nullptr;
    lxw_worksheet* sheet = nullptr;
    lxw_format* title = nullptr;
    lxw_format* moment = nullptr;

    ~Book() {
        // A workbook never finished still holds its temporary files.
        if (workbook) workbook_close(workbook);
        if (!path.empty()) std::remove(path.c_str());
    }
};

XlsxSheet::XlsxSheet(const std::string& sheetName, std::vector<Column> columns)
    : book_(std::make_unique<Book>()), columns_(std::move(columns)) {
    // libxlsxwriter writes a file by name; a fresh private one in the
    // temporary folder, read back whole, so that the caller can replace its
    // target only with a complete workbook.
    std::string pattern = (std::filesystem::temp_directory_path() / "corvanta-XXXXXX.xlsx").string();
    const int fd = mkstemps(pattern.data(), 5);
    if (fd < 0) {
        error_ = "nem hozható létre ideiglenes fájl";
        return;
    }
    ::close(fd);
    book_->path = pattern;
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    book_->workbook = workbook_new_opt(book_->path.c_str(), &options);
    if (!book_->workbook) {
        error_ = "a munkafüzet nem hozható létre";
        return;
    }
    book_->sheet = workbook_add_worksheet(book_->workbook, sheetNameOf(sheetName).c_str());
    book_->title = workbook_add_format(book_->workbook);
    format_set_bold(book_->title);
    book_->moment = workbook_add_format(book_->workbook);
    format_set_num_format(book_->moment, "yyyy-mm-dd hh:mm");
    if (!book_->sheet) {
        error_ = "a munkalap nem hozható létre";
        return;
    }
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        worksheet_set_column(book_->sheet, lxw_col_t(c), lxw_col_t(c), columns_[c].width, nullptr);
        worksheet_write_string(book_->sheet, 0, lxw_col_t(c), fitted(columns_[c].title).c_str(), book_->title);
    }
    worksheet_freeze_panes(book_->sheet, 1, 0);
}

XlsxSheet::~XlsxSheet() = default;

bool XlsxSheet::addRow(const Row& row) {
    if (!error_.empty()) return false;
    if (lxw_row_t(nextRow_) >= kMaxRows) {
        error_ = "a lista több sort tartalmaz, mint amennyit egy munkalap elbír";
        return false;
    }
    const lxw_row_t r = lxw_row_t(nextRow_++);
    for (std::size_t c = 0; c < row.size(); ++c) {
        lxw_error e = LXW_NO_ERROR;
        const Cell& cell = row[c];
        if (const auto* text = std::get_if<std::string>(&cell)) {
            if (!text->empty()) e = worksheet_write_string(book_->sheet, r, lxw_col_t(c), fitted(*text).c_str(), nullptr);
        } else if (const auto* moment = std::get_if<SheetDateTime>(&cell)) {
            if (moment->valid()) {
                lxw_datetime dt{moment->year, moment->month, moment->day, moment->hour, moment->minute,
                                double(moment->second)};
                e = worksheet_write_datetime(book_->sheet, r, lxw_col_t(c), &dt, book_->moment);
            } else {
                // A moment the calendar has not: kept as the text it came as.
                e = worksheet_write_string(book_->sheet, r, lxw_col_t(c), moment->text().c_str(), nullptr);
            }
        } else {
            e = worksheet_write_number(book_->sheet, r, lxw_col_t(c), std::get<double>(cell), nullptr);
        }
        if (e != LXW_NO_ERROR) {
            error_ = std::string("a munkafüzet írása nem sikerült: ") + lxw_strerror(e);
            return false;
        }
    }
    return true;
}

std::optional<std::string> XlsxSheet::finish() {
    if (!error_.empty()) return std::nullopt;
    if (columns_.size() > 0 && nextRow_ > 1)
        worksheet_autofilter(book_->sheet, 0, 0, lxw_row_t(nextRow_ - 1), lxw_col_t(columns_.size() - 1));
    const lxw_error e = workbook_close(std::exchange(book_->workbook, nullptr));
    if (e != LXW_NO_ERROR) {
        error_ = std::string("a munkafüzet írása nem sikerült: ") + lxw_strerror(e);
        return std::nullopt;
    }
    std::ifstream in(book_->path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        error_ = "a kész munkafüzet nem olvasható vissza";
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::string> xlsxWorkbook(const std::string& sheetName, const std::vector<Column>& columns,
                                        const std::vector<Row>& rows, std::string& error) {
    XlsxSheet sheet(sheetName, columns);
    for (const Row& row : rows) {
        if (!sheet.addRow(row)) break;
    }
    auto bytes = sheet.finish();
    if (!bytes) error = sheet.error();
    return bytes;
}

}  // namespace corvanta::sheets
