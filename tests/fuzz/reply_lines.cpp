// The received byte stream: lines cut at CR with LF dropped, over-long lines
// thrown away whole, and every flag raised by exactly the lines that name it,
// however the stream is split into reads.

#include <vector>

#include "link/line_assembler.h"
#include "link/reply_dispatcher.h"
#include "tests/fuzz/fuzz_targets.h"

namespace corvanta::fuzz {

namespace {

struct Cut {
    std::vector<std::string> lines;
    std::vector<std::size_t> discarded;
    std::string partial;  // the unfinished line, when it is still kept
};

// What the stream must give: CR ends a run of bytes, LF counts for nothing.
Cut expectedCut(std::string_view bytes) {
    Cut cut;
    std::string run;
    std::size_t length = 0;
    for (char c : bytes) {
        if (c == '\n') continue;
        if (c == '\r') {
            if (length > LineAssembler::kMaxLineLength) cut.discarded.push_back(length);
            else if (length > 0) cut.lines.push_back(run);
            run.clear();
            length = 0;
            continue;
        }
        ++length;
        if (length <= LineAssembler::kMaxLineLength) run.push_back(c);
    }
    if (length <= LineAssembler::kMaxLineLength) cut.partial = run;
    return cut;
}

bool startsWith(const std::string& line, std::string_view prefix) { return line.starts_with(prefix); }

ReplyFlags expectedFlags(const std::vector<std::string>& lines) {
    ReplyFlags f;
    for (const std::string& l : lines) {
        f.remoteConnected |= startsWith(l, "CONNECT");
        f.pwdError |= startsWith(l, "PWDERR");
        f.pwdOk |= startsWith(l, "PWDOK");
        f.okReceived |= startsWith(l, "OK");
        f.writeOk |= startsWith(l, "WROK");
        f.writeError |= startsWith(l, "WRFLERR");
        f.radioTeachRefused |= startsWith(l, "RFTERR");
        f.crcOk |= startsWith(l, "CRCOK");
        f.firmwareOk |= startsWith(l, "FIRMWAREOK");
        if (startsWith(l, kReadCommand)) {
            BlockFrame scratch{};
            (decodeBlockReply(l, scratch) == BlockReply::Received ? f.blockReceived : f.blockRejected) = true;
        }
    }
    return f;
}

bool sameFlags(const ReplyFlags& a, const ReplyFlags& b) {
    return a.pwdError == b.pwdError && a.pwdOk == b.pwdOk && a.okReceived == b.okReceived &&
           a.remoteConnected == b.remoteConnected && a.writeOk == b.writeOk && a.writeError == b.writeError &&
           a.radioTeachRefused == b.radioTeachRefused && a.crcOk == b.crcOk && a.firmwareOk == b.firmwareOk &&
           a.blockReceived == b.blockReceived && a.blockRejected == b.blockRejected;
}

struct Heard {
    std::vector<std::string> traffic;
    std::vector<std::string> frames;  // raw lines handed to the frame hooks, in order
    std::size_t lineEnds = 0;
};

void listen(ReplyDispatcher& d, Heard& h, bool traffic) {
    if (traffic) d.receivers.logTraffic = [&h](const std::string& t) { h.traffic.push_back(t); };
    const auto frame = [&h](const std::string& line) { h.frames.push_back(line); };
    d.receivers.statusFrame = frame;
    d.receivers.eventFrame = frame;
    d.receivers.statusMessage = frame;
    d.receivers.radioFrame = frame;
    d.receivers.afterLine = [&h] { ++h.lineEnds; };
}

}  // namespace

void replyLines(Input in) {
    Reader r(in);
    const std::size_t step = r.byte() % 31 + 1;  // size of the reads in the second pass
    const std::string_view bytes = text(r.rest());
    const Cut want = expectedCut(bytes);

    Cut got;
    LineAssembler assembler;
    assembler.onLine = [&got](const std::string& line) { got.lines.push_back(line); };
    assembler.onDiscarded = [&got](std::size_t n) { got.discarded.push_back(n); };
    for (char c : bytes) assembler.feedReceivedChar(static_cast<std::uint8_t>(c));
    FUZZ_CHECK(got.lines == want.lines);
    FUZZ_CHECK(got.discarded == want.discarded);
    FUZZ_CHECK(assembler.rxLine() == want.partial);

    // The dispatcher sees the same lines whether the stream came in one read
    // or in many small ones.
    ReplyDispatcher whole, pieces;
    Heard heardWhole, heardPieces;
    listen(whole, heardWhole, true);
    listen(pieces, heardPieces, false);  // the same lines give the same log
    whole.feedReceived(bytes);
    for (std::size_t at = 0; at < bytes.size(); at += step) pieces.feedReceived(bytes.substr(at, step));

    FUZZ_CHECK(heardWhole.frames == heardPieces.frames);
    FUZZ_CHECK(heardPieces.lineEnds == heardWhole.lineEnds);
    FUZZ_CHECK(heardWhole.lineEnds == want.lines.size());
    FUZZ_CHECK(heardWhole.traffic.size() == want.lines.size() + want.discarded.size());
    for (const std::string& t : heardWhole.traffic) FUZZ_CHECK(isUtf8(t));
    FUZZ_CHECK(sameFlags(whole.flags, expectedFlags(want.lines)));
    FUZZ_CHECK(sameFlags(pieces.flags, whole.flags));
    FUZZ_CHECK(pieces.lastBlock == whole.lastBlock);
    FUZZ_CHECK(pieces.rxLine() == want.partial);

    std::size_t frameLines = 0;
    for (const std::string& l : want.lines)
        for (std::string_view p : {"AT_[", "AT_{", "AT_/", "AT_<"}) frameLines += l.starts_with(p);
    FUZZ_CHECK(heardWhole.frames.size() == frameLines);
}

}  // namespace corvanta::fuzz
