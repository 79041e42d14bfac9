#pragma once
// Reads a member of a saved workbook (a zip) back as text, with Python's
// zipfile, for tests that check what a spreadsheet will find in it.

#include <cstdio>
#include <fstream>
#include <string>

namespace corvanta::testing {

// "xl/worksheets/sheet1.xml" of the workbook `bytes`; empty when it cannot
// be read.
inline std::string workbookMember(const std::string& bytes, const std::string& member) {
    char path[] = "/tmp/corvanta-workbook-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return {};
    std::FILE* f = fdopen(fd, "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    const std::string command =
        std::string("python3 -c 'import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read(sys.argv[2]))' ") +
        path + " " + member + " 2>/dev/null";
    std::string out;
    if (std::FILE* p = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
        pclose(p);
    }
    std::remove(path);
    return out;
}

}  // namespace corvanta::testing
