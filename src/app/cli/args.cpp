#include "app/cli/args.h"

#include <algorithm>

namespace corvanta::cli {

namespace {

// Other spellings of an option, taken as the option itself.
std::string canonicalName(const std::string& name) { return name == "--output" ? "-o" : name; }

// What an option's value must be; an error text when it is not.
std::optional<std::string> valueProblem(const std::string& name, const std::string& value) {
    // A password may be empty; nothing else is meant to be.
    if (value.empty() && name != "--password") return "option " + name + " needs a value, not an empty one";
    if (name == "--code") {
        const bool digits = std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (!digits) return "--code takes the installer code's digits, not \"" + value + "\"";
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> Args::option(const std::string& name) const {
    auto it = options.find(name);
    if (it == options.end()) return std::nullopt;
    return it->second;
}

const std::set<std::string>& flagOptions() {
    static const std::set<std::string> flags = {"--log",  "--log-raw", "--help", "-h",    "--verbose",
                                                "--json", "--csv",  "--yes", "--check-only", "--upload-only",
                                                "--demo-key", "--fields",
                                                "--no-verify",
                                                "--dry-run", "--force", "--to-other-site",
                                                "--history", "--from-env", "--forget"};
    return flags;
}

std::optional<std::string> parseArgs(int argc, char** argv, Args& out) {
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (word.size() > 1 && word[0] == '-') {
            auto eq = word.find('=');
            std::string name;
            std::string value;
            if (word.rfind("--", 0) == 0 && eq != std::string::npos) {
                name = word.substr(0, eq);
                value = word.substr(eq + 1);
            } else if (flagOptions().count(word)) {
                out.flags.insert(word);
                continue;
            } else if (i + 1 < argc) {
                name = word;
                value = argv[++i];
            } else {
                return "option " + word + " needs a value";
            }
            // Which of two values was meant is anybody's guess.
            name = canonicalName(name);
            if (out.options.count(name)) return "option " + name + " is given twice";
            if (auto problem = valueProblem(name, value)) return problem;
            out.options[name] = value;
        } else if (out.command.empty()) {
            out.command = word;
        } else {
            out.positional.push_back(word);
        }
    }
    return std::nullopt;
}

}  // namespace corvanta::cli
