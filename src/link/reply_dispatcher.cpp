#include "link/reply_dispatcher.h"

#include <utility>

#include "link/link_texts.h"
#include "params/win1250.h"

namespace corvanta {

namespace {

bool startsWith(const std::string& line, std::string_view prefix) {
    return line.compare(0, prefix.size(), prefix) == 0;
}

// The module itself never says these; "OK" and "CONNECT" have rows of
// their own.
bool isModemResult(const std::string& line) {
    for (std::string_view word : {"ERROR", "NO CARRIER", "NO DIALTONE", "NO DIAL TONE", "BUSY", "NO ANSWER"})
        if (line == word) return true;
    return false;
}

template <typename Hook, typename... A>
void call(const Hook& hook, A&&... args) {
    if (hook) hook(std::forward<A>(args)...);
}

}  // namespace

ReplyDispatcher::ReplyDispatcher() {
    assembler_.onLine = [this](const std::string& line) { handleLine(line); };
    assembler_.onDiscarded = [this](std::size_t length) {
        call(receivers.logTraffic,
             std::string(texts::kLineDiscarded) + " (" + std::to_string(length) + ")");
    };
}

void ReplyDispatcher::feedReceived(std::string_view bytes) {
    // A receiver may run a nested event loop that reads more bytes from the
    // link. Those are newer than the bytes of this chunk still waiting here, so
    // they queue behind them, as they would in the port's own buffer; the
    // nested call then works through the queue in arrival order.
    pending_.append(bytes);
    while (pendingAt_ < pending_.size()) {
        pendingAt_ += assembler_.feed(std::string_view(pending_).substr(pendingAt_));
        if (assembler_.lineReady()) handleLine(assembler_.takeLine());
    }
    pending_.clear();
    pendingAt_ = 0;
}

void ReplyDispatcher::handleLine(const std::string& line) {
    if (receivers.logTraffic) receivers.logTraffic(fromWin1250(line));
    if (!std::exchange(lineBeganEarlier_, false)) {
        dispatchReply(line);
        return;
    }
    ReplyFlags ignored = flags;
    dispatch(line, ignored);
}

void ReplyDispatcher::dispatchReply(const std::string& line) { dispatch(line, flags); }

void ReplyDispatcher::dispatch(const std::string& line, ReplyFlags& raised) {
    if (startsWith(line, "CONNECT")) {
        call(receivers.remoteConnected);
        raised.remoteConnected = true;
        call(receivers.statusLine, std::string(texts::kRemoteConnected));
    }
    if (startsWith(line, "AT_[")) call(receivers.statusFrame, line);
    if (startsWith(line, "AT_{")) call(receivers.eventFrame, line);
    if (startsWith(line, "AT_/")) call(receivers.statusMessage, line);
    if (startsWith(line, "AT_<")) call(receivers.radioFrame, line);
    if (startsWith(line, "PWDERR")) {
        raised.pwdError = true;
        call(receivers.statusLine, std::string(texts::kWrongCode));
        call(receivers.codeAnswer, false);
    }
    if (startsWith(line, "PWDOK")) {
        raised.pwdOk = true;
        call(receivers.statusLine, std::string());
        call(receivers.codeAnswer, true);
    }
    if (startsWith(line, "OK")) raised.okReceived = true;
    if (isModemResult(line)) call(receivers.modemResult, line);
    if (startsWith(line, "WROK")) raised.writeOk = true;
    if (startsWith(line, "WRFLERR")) raised.writeError = true;
    if (startsWith(line, "RFTERR")) raised.radioTeachRefused = true;
    if (startsWith(line, "CRCOK")) raised.crcOk = true;
    if (startsWith(line, "FIRMWAREOK")) raised.firmwareOk = true;
    if (startsWith(line, kReadCommand)) {
        if (decodeBlockReply(line, lastBlock) == BlockReply::Received)
            raised.blockReceived = true;
        else
            raised.blockRejected = true;
    }
    call(receivers.afterLine);
}

}  // namespace corvanta
