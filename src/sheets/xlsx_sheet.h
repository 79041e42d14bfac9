#pragma once
// One list as an Excel workbook of one sheet (libxlsxwriter): the titles in
// a bold, frozen first row with a filter, the columns as wide as asked and
// moments as dates. Rows go out one by one and are not kept, so a long list
// costs no more memory than a short one.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sheets/sheet.h"

namespace corvanta::sheets {

class XlsxSheet {
public:
    // `sheetName`: at most 31 characters, none of []:*?/\ (cut and replaced
    // otherwise).
    XlsxSheet(const std::string& sheetName, std::vector<Column> columns);
    ~XlsxSheet();
    XlsxSheet(const XlsxSheet&) = delete;
    XlsxSheet& operator=(const XlsxSheet&) = delete;

    // False once the workbook has failed (error() says why); later rows are
    // then ignored.
    bool addRow(const Row& row);
    // The finished workbook, or nothing and error().
    std::optional<std::string> finish();
    const std::string& error() const { return error_; }

private:
    struct Book;
    std::unique_ptr<Book> book_;
    std::vector<Column> columns_;
    std::string error_;
    int nextRow_ = 1;
};

// The whole list at once.
std::optional<std::string> xlsxWorkbook(const std::string& sheetName, const std::vector<Column>& columns,
                                        const std::vector<Row>& rows, std::string& error);

}  // namespace corvanta::sheets
