#pragma once
// Misbehaviour the simulator can be asked for, so that the program's
// handling of a faulty module or link can be exercised.

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

namespace corvanta::sim {

// Block addresses a fault applies to; "all" when named without an address.
struct AddressSet {
    bool all = false;
    std::set<uint16_t> addresses;
    bool has(uint16_t a) const { return all || addresses.count(a) > 0; }
    bool any() const { return all || !addresses.empty(); }
};

struct Faults {
    AddressSet silentRead;        // no answer to "RDFL" of these blocks
    AddressSet silentWrite;       // no answer to "WRFL" of these blocks
    AddressSet badChecksum;       // replies whose checksum is off by one
    AddressSet swappedChecksum;   // replies with the checksum big-endian
    AddressSet wrongIndex;        // replies carrying the next block's address
    AddressSet lowerCaseHex;      // replies in lower-case hex digits
    AddressSet writeError;        // "WRFLERR" to writes of these blocks
    // A line that lies, between the program and the module:
    AddressSet repeatWriteReply;  // the answer to these writes said again before the next one
    AddressSet falseWriteOk;      // "WROK" to writes of these blocks, which are not stored
    bool noCrcOk = false;         // "WRACT" unanswered and not committed
    bool crcOkWithoutCommit = false;  // "CRCOK" to "WRACT", nothing committed
    bool pwdErrAlways = false;    // "PWDERR" to every command
    bool badStatusLength = false; // "AT_[" one character short
    bool badRadioLength = false;  // "AT_<" one character short
    bool tcpSplit = false;        // every TCP frame written in two parts
    bool tcpStray = false;        // stray bytes between TCP frames
    int tcpCloseAfter = 0;        // close the connection after N frames sent
};

// "NAME" or "NAME=VALUE" as given to --fault; false with a message when
// the name or its value is not known.
bool addFault(std::string_view text, Faults& faults, std::string& error);

// One line per fault, for --help.
std::string faultHelp();

}  // namespace corvanta::sim
