// The folders of the program build on one another in one direction: no
// folder of src/ (nor the simulator) includes a header of a folder that,
// directly or through others, includes it back.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>
#include "tests/support/build_paths.h"

namespace fs = std::filesystem;

namespace {

const fs::path kRoot = CORVANTA_SOURCE_DIR;

using Graph = std::map<std::string, std::set<std::string>>;

// "link", "ui/main", "sim": the folder that holds a source file.
std::string folderOf(const fs::path& file) {
    const fs::path rel = fs::relative(file.parent_path(), kRoot);
    const std::string s = rel.generic_string();
    return s.starts_with("src/") ? s.substr(4) : s;
}

Graph includeGraph() {
    static const std::regex include(R"(^\s*#\s*include\s*"([^"]+)/[^/"]+")");
    Graph graph;
    for (const char* top : {"src", "sim"}) {
        for (const auto& entry : fs::recursive_directory_iterator(kRoot / top)) {
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
            const std::string from = folderOf(entry.path());
            graph[from];
            std::ifstream in(entry.path());
            std::smatch m;
            for (std::string line; std::getline(in, line);) {
                if (!std::regex_search(line, m, include)) continue;
                const std::string to = m[1];
                const bool known = fs::is_directory(kRoot / "src" / to) || to == "sim";
                if (known && to != from) graph[from].insert(to);
            }
        }
    }
    return graph;
}

// The first cycle found, as the folders along it; empty when there is none.
std::vector<std::string> findCycle(const Graph& graph) {
    std::map<std::string, int> state;  // 1 on the current path, 2 done
    std::vector<std::string> path;
    std::vector<std::string> cycle;
    std::function<bool(const std::string&)> visit = [&](const std::string& node) {
        state[node] = 1;
        path.push_back(node);
        for (const std::string& next : graph.at(node)) {
            if (state[next] == 1) {
                cycle.assign(std::find(path.begin(), path.end(), next), path.end());
                cycle.push_back(next);
                return true;
            }
            if (state[next] == 0 && graph.count(next) && visit(next)) return true;
        }
        path.pop_back();
        state[node] = 2;
        return false;
    };
    for (const auto& [node, edges] : graph)
        if (state[node] == 0 && visit(node)) break;
    return cycle;
}

}  // namespace

TEST(FolderIncludes, NoFolderIncludesOneThatIncludesItBack) {
    const Graph graph = includeGraph();
    ASSERT_TRUE(graph.count("link") && graph.count("ui/main") && graph.count("sim"));
    ASSERT_TRUE(graph.at("transfer").count("link"));  // the scan does see includes
    const std::vector<std::string> cycle = findCycle(graph);
    std::string shown;
    for (const std::string& f : cycle) shown += (shown.empty() ? "" : " -> ") + f;
    EXPECT_TRUE(cycle.empty()) << shown;
}
