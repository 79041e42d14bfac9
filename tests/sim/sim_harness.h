#pragma once
// Talks to a simulated module in-process on a clock the test moves itself.

#include <QCoreApplication>

#include <string>
#include <vector>

#include "sim/sim_module.h"

namespace corvanta::sim::test {

inline QCoreApplication& qtApp() {
    static int argc = 1;
    static char name[] = "sim_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// The installer code 1234 as the program sends it.
inline constexpr char kGoodCode[] = "EDCB00";

class ModuleHarness {
public:
    explicit ModuleHarness(ModuleSettings settings = {})
        : module_((qtApp(), std::move(settings)), [this] { return now_; }) {
        QObject::connect(&module_, &SimModule::transmit, [this](const QByteArray& b) { out_ += b.toStdString(); });
    }

    SimModule& module() { return module_; }

    // Sends a line (CR added) and returns the complete lines answered, LF
    // dropped as the program drops it.
    std::vector<std::string> ask(const std::string& line) {
        module_.receive(QByteArray::fromStdString(line + "\r"));
        return takeLines();
    }

    std::vector<std::string> takeLines() {
        std::vector<std::string> lines;
        std::string current;
        for (char c : out_) {
            if (c == '\n') continue;
            if (c == '\r') {
                if (!current.empty()) lines.push_back(current);
                current.clear();
            } else {
                current += c;
            }
        }
        out_.clear();
        return lines;
    }

    std::string login() {
        const auto r = ask(std::string("RPWD") + kGoodCode);
        return r.empty() ? "" : r.front();
    }

    void advance(int64_t ms) {
        now_ += ms;
        module_.service();
    }

private:
    int64_t now_ = 0;
    SimModule module_;
    std::string out_;
};

}  // namespace corvanta::sim::test
