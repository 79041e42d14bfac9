#pragma once
// The connection controller: which line carries the traffic, the send
// operations, the periodic login, the reply flags and the waits on them, and
// the conversations every window builds on (login, block read and write,
// commit, version query, alarm stop).
//
// Waits are nested event loops woken by the flag that ends them or by the
// transfer countdown running out. Only one conversation that waits runs at a
// time; see Conversation.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "link/coded_command.h"
#include "link/reply_dispatcher.h"
#include "link/tcp_link.h"
#include "link/tick_source.h"
#include "link/transport.h"
#include "link/block_frame.h"

class QEventLoop;

namespace corvanta {

class Messenger;

class ModuleLink : public QObject {
    Q_OBJECT
public:
    // Waits in 100 ms ticks.
    static constexpr int kLoginTicks = 30;
    static constexpr int kReadTicks = 50;
    static constexpr int kWriteTicks = 80;
    static constexpr int kCommitTicks = 100;
    static constexpr int kAlarmStopTicks = 60;
    static constexpr int kTransferTickMs = 100;
    static constexpr int kCodeTimerMs = 5000;

    // What became of the last login: the periodic one or a conversation's.
    enum class LoginAnswer {
        None,      // no link, or no login sent on it yet
        Accepted,  // "PWDOK"
        Refused,   // "PWDERR": the installer code is wrong
        Silent,    // no answer before the next login, or within a wait
    };

    // What is written. Every frame ends its wait on "WROK" or on the
    // module's refusal, "WRFLERR".
    enum class WriteKind { Parameter, Firmware, Clock };

    // Why the last block read, block write or commit failed.
    enum class BlockFailure {
        None,
        NoAnswer,    // nothing within the wait
        Damaged,     // a reply frame that was malformed or failed its checksum
        WrongBlock,  // a sound frame of another block
        WrongCode,   // "PWDERR" instead of the frame
        Refused,     // "WRFLERR"
        Stopped,     // the wait was ended by stopWait()
    };

    // Timer-driven ticks.
    explicit ModuleLink(QObject* parent = nullptr);
    // Injected ticks (tests): transferTicks drives transferCountdown and runs
    // from now on; codeTicks is the periodic login.
    ModuleLink(std::unique_ptr<TickSource> transferTicks, std::unique_ptr<TickSource> codeTicks,
               QObject* parent = nullptr);
    ~ModuleLink() override;

    // --- lines and settings -------------------------------------------------
    // The serial line (or the in-process module). Not owned; may be null,
    // which means no port was chosen.
    void setTransport(Transport* transport);
    Transport* transport() const { return transport_; }
    TcpLink& tcp() { return *tcp_; }
    void setMessenger(Messenger* messenger) { messenger_ = messenger; }
    Messenger* messenger() const { return messenger_; }
    // The installer code field's text, read each time a coded command is built.
    void setInstallerCode(const QString& fieldText) { installerCode_ = fieldText; }
    QString installerCode() const { return installerCode_; }
    void setTcpPassword(const QString& text) { tcpPassword_ = text; }

    // --- state ----------------------------------------------------------------
    bool linkConnected() const;
    bool tcpActive() const { return tcp_->tcpActive(); }
    ReplyFlags& flags() { return dispatcher_.flags; }
    const BlockFrame& lastBlock() const { return dispatcher_.lastBlock; }
    const std::string& rxLine() const { return dispatcher_.rxLine(); }
    std::int32_t dataVersion() const { return dataVersion_; }
    // The version text of the last version block read ("" before any).
    const QString& moduleVersion() const { return moduleVersion_; }
    void setDataVersion(std::int32_t v) { dataVersion_ = v; }
    int transferCountdown() const { return transferCountdown_; }
    bool waiting() const { return wait_ != nullptr; }
    LoginAnswer lastLogin() const { return lastLogin_; }
    const QString& loginMessage() const { return loginMessage_; }
    const QString& statusLine() const { return statusLine_; }
    void setStatusLine(const QString& text);

    // --- sending (all do nothing without a link) -----------------------------
    void sendRaw(const QByteArray& bytes);
    void sendCommand(const std::string& line);
    void sendLoggedCommand(const std::string& line);
    void sendHexByte(std::uint8_t byte);
    void sendLineEnd();
    void sendCodedCommand(CodedCommand command);
    // What is sent next is answered by one line of at least `length` bytes
    // before its CR (0: nothing known). A serial line then wakes the program
    // once for most of the line instead of for every few bytes; the TCP/IP
    // link has no use for it.
    void expectReplyLine(qint64 length);

    // Received bytes of whichever line carries the traffic.
    void feedReceived(const QByteArray& bytes);

    // --- periodic login ------------------------------------------------------
    void setCodeTimerEnabled(bool on);
    bool codeTimerEnabled() const { return codeTicks_->running(); }

    // --- main window operations ---------------------------------------------
    // Opens the chosen line; status line and messages as the window shows them.
    bool serialConnect();
    void serialDisconnect();
    // Asks first; true when the module confirmed the stop. `running` hears
    // true once the stop goes out and false when it is over, so the window
    // greys its button only after the question was answered.
    bool alarmStop(const std::function<void(bool)>& running = {});
    // The version button: the query's text in a message box when it has one.
    void askVersion();
    // The serial line now leads elsewhere (another port was chosen while it
    // was open, or not): what the last line answered tells nothing of this
    // one. Heard as a change of link state.
    void lineReplaced() { emit linkStateChanged(linkConnected()); }

    // What to say when a wait for the module ran out: `moduleSilent`, unless
    // the line is the likelier cause (a TCP/IP link that has decrypted
    // nothing since it was connected, a modem line without a call).
    QString noAnswerText(const char* moduleSilent) const;
    // Set by the modem call control: the serial line leads to a modem that
    // holds no call.
    void setModemIdle(bool idle) { modemIdle_ = idle; }
    bool modemIdle() const { return modemIdle_; }

    // --- conversations ----------------------------------------------------------
    // Sends "RPWD" + code and waits 3 s; sets loginMessage. Callers check
    // linkConnected first.
    bool installerLogin();
    // One read request and its 5 s wait; with checkIndex the reply's block
    // byte must match the address. The frame is in lastBlock().
    bool readBlock(std::uint16_t address, bool checkIndex);
    // Sends a sealed frame and waits up to 8 s for its answer: true on
    // "WROK". "WRFLERR" is a refusal of the frame and ends the wait at once;
    // one heard beside a "WROK" in the same wait wins, as the line can no
    // longer be trusted to have stored the frame.
    bool writeBlock(const BlockFrame& sealedFrame, WriteKind kind = WriteKind::Parameter);
    // "WRACT" and up to 10 s for "CRCOK".
    bool commitWrite();
    BlockFailure blockFailure() const { return blockFailure_; }
    // Logs in, reads the version block, sets dataVersion; returns the text to
    // show (empty when the block read failed after a good login).
    QString queryModuleVersion();

    // Exclusive use of the link for one conversation. While one is held, or
    // while any wait runs, a second one is refused with a message. Holding
    // one also keeps the periodic login off, and puts it back as it was.
    class Conversation {
    public:
        explicit Conversation(ModuleLink& link);
        ~Conversation();
        Conversation(const Conversation&) = delete;
        Conversation& operator=(const Conversation&) = delete;
        explicit operator bool() const { return granted_; }

    private:
        ModuleLink& link_;
        bool granted_ = false;
        bool codeTimerWas_ = false;
    };
    bool busy() const { return conversationOpen_ || waiting(); }

    // Waits until done() holds or `ticks` transfer ticks have passed. True
    // when done() held. Refused (false) while another wait runs.
    bool waitFor(int ticks, const std::function<bool()>& done);
    // Ends the running wait now, as if it had run out (the Stop button).
    // The block operation that waited then fails with Stopped.
    void stopWait();

signals:
    void statusLineChanged(const QString& text);
    void trafficLogged(const QString& text);
    void statusFrameReceived(const QByteArray& line);
    void eventFrameReceived(const QByteArray& line);
    void statusMessageReceived(const QByteArray& line);
    void radioFrameReceived(const QByteArray& line);
    void linkStateChanged(bool connected);
    void lastLoginChanged(LoginAnswer answer);
    // A line only a modem sends ("ERROR", "NO CARRIER", ...).
    void modemResultReceived(const QString& line);

protected:
    // Received lines are converted for the traffic log only while someone
    // listens for them.
    void connectNotify(const QMetaMethod& signal) override;
    void disconnectNotify(const QMetaMethod& signal) override;

private:
    void init();
    void receive(std::string_view bytes) { dispatcher_.feedReceived(bytes); }
    void onTransferTick();
    void onCodeTick();
    void onTransportReadyRead();
    void setLastLogin(LoginAnswer answer);
    void checkWait();
    // Before a request is sent: what the line already brought is heard now,
    // and a line begun before the request cannot answer it.
    void beforeRequest();
    void message(const QString& text, const QString& caption = {});
    bool refuseIfWaiting();

    std::unique_ptr<TickSource> transferTicks_;
    std::unique_ptr<TickSource> codeTicks_;
    std::unique_ptr<TcpLink> tcp_;
    QPointer<Transport> transport_;
    Messenger* messenger_ = nullptr;
    ReplyDispatcher dispatcher_;
    int trafficListeners_ = 0;
    // What the serial line delivers is read through this, a chunk at a time.
    std::array<char, 1024> readBuffer_{};
    QString installerCode_;
    QString tcpPassword_;
    QString loginMessage_;
    QString statusLine_;
    QString moduleVersion_;
    std::int32_t dataVersion_ = 0;
    int transferCountdown_ = 0;
    bool conversationOpen_ = false;
    BlockFailure blockFailure_ = BlockFailure::None;
    LoginAnswer lastLogin_ = LoginAnswer::None;
    bool loginUnanswered_ = false;  // a login went out and nothing answered it yet
    bool modemIdle_ = false;

    struct Wait {
        QEventLoop* loop;
        std::function<bool()> done;
        bool stopped = false;
    };
    bool lastWaitStopped_ = false;
    Wait* wait_ = nullptr;
};

}  // namespace corvanta
