#pragma once
// Turns each received line into reply flags, a status line text, or a call
// into the part of the program that understands it.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "link/line_assembler.h"
#include "link/reply_flags.h"
#include "link/block_frame.h"

namespace corvanta {

// Whoever understands a kind of line registers here. Unset hooks are skipped.
// Frame hooks receive the raw line bytes (Windows-1250); text hooks UTF-8.
struct ReplyReceivers {
    std::function<void(const std::string& line)> statusFrame;    // "AT_["
    std::function<void(const std::string& line)> eventFrame;     // "AT_{"
    std::function<void(const std::string& line)> statusMessage;  // "AT_/"
    std::function<void(const std::string& line)> radioFrame;     // "AT_<"
    std::function<void()> remoteConnected;                       // "CONNECT": periodic login on
    std::function<void(const std::string& text)> statusLine;
    // Unset while nobody keeps a log: received lines are then not converted.
    std::function<void(const std::string& text)> logTraffic;
    // "PWDOK" (true) or "PWDERR" (false): the module answered a coded command.
    std::function<void(bool accepted)> codeAnswer;
    // A result word only a Hayes modem sends ("ERROR", "NO CARRIER", ...):
    // the serial line leads to a modem, not straight to the module.
    std::function<void(const std::string& line)> modemResult;
    // Raised after every dispatched line, so a waiting operation can look at
    // the flags at once.
    std::function<void()> afterLine;
};

class ReplyDispatcher {
public:
    ReplyDispatcher();

    ReplyFlags flags;
    BlockFrame lastBlock{};
    ReplyReceivers receivers;

    void feedReceivedChar(std::uint8_t c) { assembler_.feedReceivedChar(c); }
    void feedReceived(std::string_view bytes);

    // Every row whose prefix begins the line acts, in a fixed order.
    void dispatchReply(const std::string& line);

    // A request goes out now. A line already under way began before it, so
    // it cannot be the answer: its receivers still hear it, but it raises
    // no flag.
    void answersFromNow() { lineBeganEarlier_ = !assembler_.rxLine().empty(); }

    const std::string& rxLine() const { return assembler_.rxLine(); }

private:
    void handleLine(const std::string& line);
    void dispatch(const std::string& line, ReplyFlags& raised);

    LineAssembler assembler_;
    std::string pending_;        // received bytes not yet through the assembler
    std::size_t pendingAt_ = 0;
    bool lineBeganEarlier_ = false;
};

}  // namespace corvanta
