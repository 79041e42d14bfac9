#include "app/cli/workbooks.h"

#include <QString>

#include "app/cli/files.h"
#include "app/cli/output.h"
#include "app/cli/args.h"
#include "sheets/xlsx_sheet.h"

namespace corvanta::cli {

int writeWorkbook(const std::string& path, const std::string& bytes, FileAccess access) {
    return writeOutput(path, QByteArray::fromStdString(bytes), access);
}

int finishWorkbook(sheets::XlsxSheet& sheet, const std::string& path, FileAccess access) {
    const auto bytes = sheet.finish();
    if (!bytes) return fail(ExitFailed, path + ": " + sheet.error());
    return writeWorkbook(path, *bytes, access);
}

}  // namespace corvanta::cli
