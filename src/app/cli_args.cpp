#include "app/cli_args.h"

namespace corvanta::cli {

std::optional<std::string> Args::option(const std::string& name) const {
    auto it = options.find(name);
    if (it == options.end()) return std::nullopt;
    return it->second;
}

const std::set<std::string>& flagOptions() {
    static const std::set<std::string> flags = {"--log",  "--help", "-h",    "--verbose",
                                                "--json", "--csv",  "--yes", "--check-only", "--upload-only",
                                                "--demo-key", "--fields",
                                                "--no-verify"};
    return flags;
}

std::optional<std::string> parseArgs(int argc, char** argv, Args& out) {
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (word.size() > 1 && word[0] == '-') {
            auto eq = word.find('=');
            if (word.rfind("--", 0) == 0 && eq != std::string::npos) {
                out.options[word.substr(0, eq)] = word.substr(eq + 1);
            } else if (flagOptions().count(word)) {
                out.flags.insert(word);
            } else if (i + 1 < argc) {
                out.options[word] = argv[++i];
            } else {
                return "option " + word + " needs a value";
            }
        } else if (out.command.empty()) {
            out.command = word;
        } else {
            out.positional.push_back(word);
        }
    }
    return std::nullopt;
}

}  // namespace corvanta::cli
