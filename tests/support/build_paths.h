#pragma once
// The programs the tests start and the files they read, found at run time
// from where the test program itself lies (<build>/tests/<folder>/<program>)
// and from the build's cache (which names the sources), not compiled in: a
// path compiled in differs for every checkout, and the compiler cache could
// then serve no test object to a checkout at another path.

#include <filesystem>
#include <fstream>
#include <string>

namespace corvanta::testing {

inline const std::string& buildRoot() {
    static const std::string root = [] {
        std::error_code failed;
        const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failed);
        return self.parent_path().parent_path().parent_path().string();
    }();
    return root;
}

inline const std::string& sourceRoot() {
    static const std::string root = [] {
        std::ifstream cache(buildRoot() + "/CMakeCache.txt");
        const std::string key = "CMAKE_HOME_DIRECTORY:INTERNAL=";
        for (std::string line; std::getline(cache, line);) {
            if (line.compare(0, key.size(), key) == 0) return line.substr(key.size());
        }
        return std::string();
    }();
    return root;
}

inline std::string buildFile(const char* relative) { return buildRoot() + '/' + relative; }
inline std::string sourceFile(const char* relative) { return sourceRoot() + '/' + relative; }

}  // namespace corvanta::testing

#define CORVANTA_CLI ::corvanta::testing::buildFile("src/app/corvanta-cli")
#define CORVANTA_SIM ::corvanta::testing::buildFile("sim/corvanta-sim")
#define CORVANTA_PROGRAM ::corvanta::testing::buildFile("src/app/corvanta")
#define CORVANTA_JSON_DOCS ::corvanta::testing::sourceFile("docs/parameters-json.md")
#define CORVANTA_FUZZ_CORPUS ::corvanta::testing::sourceFile("tests/fuzz/corpus")
#define CORVANTA_SOURCE_DIR ::corvanta::testing::sourceRoot()
