// Every corpus file, seeds and past findings alike, goes through every fuzz
// target with the ordinary compiler, so a mended fault stays mended without a
// fuzzing build.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_targets.h"
#include "tests/support/build_paths.h"

using namespace corvanta::fuzz;
namespace fs = std::filesystem;

namespace {

const fs::path kCorpus = CORVANTA_FUZZ_CORPUS;

std::vector<fs::path> corpusFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(kCorpus))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::uint8_t> contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CorpusReplay : public ::testing::TestWithParam<Target> {};

}  // namespace

namespace corvanta::fuzz {
// Names the target in test listings instead of dumping its bytes.
void PrintTo(const Target& t, std::ostream* os) { *os << t.name; }
}  // namespace corvanta::fuzz

TEST(FuzzCorpus, EveryTargetHasAFolderAndEveryFolderATarget) {
    std::set<std::string> folders, targets;
    for (const auto& entry : fs::directory_iterator(kCorpus))
        if (entry.is_directory()) folders.insert(entry.path().filename().string());
    for (const Target& t : kTargets) targets.insert(t.name);
    EXPECT_EQ(folders, targets);
}

TEST_P(CorpusReplay, EveryCorpusFileKeepsTheTargetsRules) {
    const auto files = corpusFiles();
    ASSERT_FALSE(files.empty());
    for (const fs::path& file : files) {
        const std::string name = file.string();
        currentInput = name.c_str();
        const std::vector<std::uint8_t> bytes = contents(file);
        GetParam().run(bytes);
    }
    currentInput = nullptr;
}

INSTANTIATE_TEST_SUITE_P(Targets, CorpusReplay, testing::ValuesIn(kTargets),
                         [](const testing::TestParamInfo<Target>& info) { return std::string(info.param.name); });
