#pragma once
// --xlsx FILE: a command's rows as a workbook, written as a whole file once
// complete, like every output of corvanta-cli.

#include <string>

#include "link/whole_file.h"

namespace corvanta::sheets {
class XlsxSheet;
}

namespace corvanta::cli {

// Writes a workbook made elsewhere; the exit status. Whatever may hold a
// code is written FileAccess::OwnerOnly.
int writeWorkbook(const std::string& path, const std::string& bytes, FileAccess access);

// Finishes `sheet` and writes it; a workbook that could not be made is
// said (ExitFailed) and nothing is written.
int finishWorkbook(sheets::XlsxSheet& sheet, const std::string& path, FileAccess access);

}  // namespace corvanta::cli
