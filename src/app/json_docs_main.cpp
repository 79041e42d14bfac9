// corvanta-json-docs [FILE]: writes the documentation of the parameter JSON
// (docs/parameters-json.md) to FILE, or prints it.

#include <cstdio>
#include <fstream>

#include "params/json_docs.h"

int main(int argc, char** argv) {
    const std::string doc = corvanta::parametersJsonDocument();
    if (argc < 2) {
        std::fwrite(doc.data(), 1, doc.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << doc;
    out.close();
    if (!out) {
        std::fprintf(stderr, "corvanta-json-docs: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
