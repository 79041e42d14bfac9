#pragma once
// One-shot flags raised by the reply dispatcher. The dispatcher only sets
// them; the operation waiting for an answer clears the ones it tests just
// before it sends.

namespace corvanta {

struct ReplyFlags {
    bool pwdError = false;           // "PWDERR"
    bool pwdOk = false;              // "PWDOK"
    bool okReceived = false;         // "OK"
    bool remoteConnected = false;    // "CONNECT"
    bool writeOk = false;            // "WROK"
    bool writeError = false;         // "WRFLERR"
    bool radioTeachRefused = false;  // "RFTERR"
    bool crcOk = false;              // "CRCOK"
    bool firmwareOk = false;         // "FIRMWAREOK"
    bool blockReceived = false;      // "RDFL" with a sound frame
    bool blockRejected = false;      // "RDFL" malformed or with a bad checksum
};

}  // namespace corvanta
