#include "sim/faults.h"

#include <charconv>

#include "sim/block_codec.h"

namespace corvanta::sim {

namespace {

struct AddressFault {
    const char* name;
    AddressSet Faults::*set;
    const char* help;
};

const AddressFault kAddressFaults[] = {
    {"no-read-reply", &Faults::silentRead, "no answer to a block read"},
    {"no-write-reply", &Faults::silentWrite, "no answer to a block write"},
    {"bad-checksum", &Faults::badChecksum, "block replies with a wrong checksum"},
    {"swapped-checksum", &Faults::swappedChecksum, "block replies with the checksum big-endian"},
    {"wrong-index", &Faults::wrongIndex, "block replies carrying the next block's address"},
    {"lower-case-hex", &Faults::lowerCaseHex, "block replies in lower-case hex digits"},
    {"write-error", &Faults::writeError, "\"WRFLERR\" to block writes"},
    {"repeat-write-reply", &Faults::repeatWriteReply, "the answer to a block write said once more before the next answer"},
    {"false-write-ok", &Faults::falseWriteOk, "\"WROK\" to block writes that are not stored"},
};

struct FlagFault {
    const char* name;
    bool Faults::*flag;
    const char* help;
};

const FlagFault kFlagFaults[] = {
    {"no-crcok", &Faults::noCrcOk, "\"WRACT\" is neither answered nor committed"},
    {"crcok-without-commit", &Faults::crcOkWithoutCommit, "\"CRCOK\" to \"WRACT\" with nothing committed"},
    {"pwderr", &Faults::pwdErrAlways, "\"PWDERR\" to every command"},
    {"bad-status-length", &Faults::badStatusLength, "status frames one character short"},
    {"bad-radio-length", &Faults::badRadioLength, "radio frames one character short"},
    {"tcp-split", &Faults::tcpSplit, "every TCP frame written in two parts"},
    {"tcp-stray", &Faults::tcpStray, "stray bytes between TCP frames"},
};

}  // namespace

bool addFault(std::string_view text, Faults& faults, std::string& error) {
    const auto eq = text.find('=');
    const std::string_view name = text.substr(0, eq);
    const std::string_view value = eq == std::string_view::npos ? std::string_view{} : text.substr(eq + 1);
    const bool hasValue = eq != std::string_view::npos;

    for (const auto& f : kAddressFaults) {
        if (name != f.name) continue;
        AddressSet& set = faults.*(f.set);
        if (!hasValue) {
            set.all = true;
            return true;
        }
        const auto address = parseHex4(value);
        if (!address) {
            error = "--fault " + std::string(name) + ": \"" + std::string(value) +
                    "\" is not a block address of four upper-case hex digits";
            return false;
        }
        set.addresses.insert(*address);
        return true;
    }
    for (const auto& f : kFlagFaults) {
        if (name != f.name) continue;
        if (hasValue) {
            error = "--fault " + std::string(name) + " takes no value";
            return false;
        }
        faults.*(f.flag) = true;
        return true;
    }
    if (name == "tcp-close-after") {
        int n = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
        if (!hasValue || ec != std::errc{} || end != value.data() + value.size() || n < 1) {
            error = "--fault tcp-close-after needs a number of frames of at least 1";
            return false;
        }
        faults.tcpCloseAfter = n;
        return true;
    }
    error = "unknown fault \"" + std::string(name) + "\" (see --help)";
    return false;
}

std::string faultHelp() {
    // The name in a column of 24, or followed by one blank when it is longer.
    auto column = [](const std::string& name) { return name + std::string(name.size() < 24 ? 24 - name.size() : 1, ' '); };
    std::string out;
    for (const auto& f : kAddressFaults)
        out += "  " + column(std::string(f.name) + "[=ADDR]") + f.help + " (all blocks, or block ADDR)\n";
    for (const auto& f : kFlagFaults) out += "  " + column(f.name) + f.help + "\n";
    out += "  tcp-close-after=N       close the TCP connection after N frames\n";
    return out;
}

}  // namespace corvanta::sim
