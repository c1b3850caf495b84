// The link engine: one worker thread that owns all port I/O, feeds received bytes to the
// handler of the current link state, times exchanges out, starts the identify and keep-alive
// exchanges by itself, frames the blocks of a pending write and posts notifications. What each
// byte does in each exchange is one table, in LinkTable.cpp.
//
// Threads: the worker and the user-interface thread share this object. Fields either side
// reads are atomic. Every change of the link state, and all work of the byte handlers, happens
// under m_StateLock, which is never held across port I/O: so a request handed over by the
// user-interface thread can never overwrite an exchange the worker has just begun.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <thread>

#include "Clock.h"
#include "LinkSteps.h"
#include "LinkTrace.h"
#include "LinkTypes.h"
#include "NotifySink.h"
#include "PortBase.h"
#include "TransferRecord.h"

namespace corvane {

class LinkBase {
public:
    LinkBase();
    virtual ~LinkBase();
    LinkBase(const LinkBase&) = delete;
    LinkBase& operator=(const LinkBase&) = delete;

    // Starts (true) or stops (false) the worker. Start fails when a worker already runs;
    // stop always ends and joins the worker (every wait in it is bounded).
    bool Run(bool start);
    // Closes the port and returns the engine to its initial state.
    void Reset();

    // Hands a read or a block write over to the worker (user-interface thread; waits up to
    // 500 ms for an idle link).
    // `exchange` (may be null) receives the serial of the read begun.
    bool StartRead(TransferRecord* record, uint32_t* exchange = nullptr);
    bool StartWrite(TransferRecord* record);
    // As StartWrite, but first fills the record's data with a copy of `data` (size bytes),
    // once the link is claimed and the worker cannot be reading it; and only for the ESC
    // connection `epoch` (kAnyEpoch: whichever): a write checked against one ESC is refused
    // (16 posted) once that ESC was lost or another identified, even if the window has not
    // heard of it yet.
    bool StartWrite(TransferRecord* record, const uint8_t* data, uint32_t size, uint32_t epoch);

    static constexpr uint32_t kAnyEpoch = 0xFFFFFFFF;

    // Any thread: the transfer under way stops after the block on the wire (its verdict is
    // waited for, no further block is framed) and ends failed (16). Nothing is cut mid-block.
    void CancelTransfer() { m_bCancel.store(true); }

    // One pass of the worker loop; the thread runs it while running, tests call it directly.
    void RunPass();

    void SetNotifySink(NotifySink* sink) { m_pNotifySink.store(sink); }
    NotifySink* GetNotifySink() const { return m_pNotifySink.load(); }
    void SetClock(Clock* clock) { m_pClock = clock; }
    // Where the trace goes (null: nowhere); set before the worker starts. The engine starts
    // with what CORVANE_TRACE asks for.
    void SetTraceStream(std::ostream* stream) { m_Trace.SetStream(stream); }
    // Called by the worker once before its first pass: opens the port.
    void BeginWorker();

    int GetLinkState() const { return LinkStateOf(m_Step.load()); }
    Step GetStep() const { return m_Step.load(); }
    // The window's requests (user-interface thread). RejectEsc: the ESC just identified is not
    // one this tool serves; it is left alone until it falls silent, then greeted afresh.
    // WantIdentity: whether the next identities the link finds are reported.
    void RejectEsc();
    void WantIdentity(bool want) { m_bReportIdentity.store(want); }
    bool GetReportIdentity() const { return m_bReportIdentity.load(); }
    bool IsIdentifyNeeded() const { return m_bIdentifyNeeded.load(); }
    bool IsRunning() const { return m_thread.joinable(); }
    int GetBlocksLeft() const { return m_nBlocksLeft.load(); }
    int GetRetries() const { return m_nRetries.load(); }
    bool IsSlowWrites() const { return m_bSlowWrites.load(); }
    int GetTxLength() const { return m_nTxLength.load(); }
    const uint8_t* GetTxBuffer() const { return m_TxBuffer; }
    // When the byte timer of the exchange under way started (0: none runs).
    uint32_t GetByteTimerStart() const { return m_dwByteTimerStart.load(); }
    // The serial of the exchange under way.
    uint32_t CurrentExchange() const { return m_nExchange.load(); }

    // One row of the exchanges' table: in a step (or either of two), a byte (or the start of
    // the exchange) and a guard select the row; its action runs, the link moves to the next
    // step, and a byte that counts restarts the byte timer. A row that differs from the
    // designed exchanges says why.
    using Guard = bool (LinkBase::*)() const;
    using Action = void (LinkBase::*)();
    struct ByteMatch {
        enum Kind : uint8_t { kStart, kByte, kEither, kAny };
        Kind kind = kAny;
        uint8_t a = 0;
        uint8_t b = 0;
        bool Matches(const uint8_t* byte) const;
    };
    struct Where {
        Step one;
        Step other = Step::Stay;
    };
    struct Row {
        Where where;
        ByteMatch on;
        Guard guard;
        const char* guardName;
        Action action;
        const char* actionName;
        Step next;
        bool counts;
        const char* why = nullptr;
        bool Covers(Step step) const { return where.one == step || where.other == step; }
    };
    static std::span<const Row> Table();

    static uint8_t const* const kNoByte;

protected:
    virtual void OnIdentified() = 0;

    // Posts a notice of the exchange under way.
    void Post(uint32_t code, uint32_t value) { Post(LinkNotice{code, value}); }
    void Post(LinkNotice notice);
    // Posts the refusal of a request that never began an exchange.
    void PostRefusal(uint32_t code, uint32_t value);
    // The exchange that begins now gets the next serial.
    void BeginExchange() { m_nExchange.store(m_nExchangeSerial.fetch_add(1) + 1); }
    uint32_t Now() { return m_pClock->Now(); }
    // Starts the byte timer from `now`. A stored 0 means that no timer runs, so a start that
    // falls on tick 0 counts from tick 1: the limit runs 1 ms long instead of never.
    void StartRxTimer(uint32_t now) { m_dwByteTimerStart.store(now != 0 ? now : 1); }

    // The design's byte handlers, one for each exchange: each feeds the byte (null: the start
    // of the exchange) through the table's rows for the step the link is in.
    void OnGreetingByte(const uint8_t* byte) { Feed(byte); }
    void OnIdentifyByte(const uint8_t* byte) { Feed(byte); }
    void OnReadByte(const uint8_t* byte) { Feed(byte); }
    void OnWriteByte(const uint8_t* byte) { Feed(byte); }
    void Feed(const uint8_t* byte);

    void Dispatch(int count, const uint8_t* bytes);
    int SendPending(int offset);
    // Hands the queued bytes to the port from the send offset on.
    void SendQueued();
    // A pass with nothing received and nothing to send: starts what the idle link is due to
    // start, or checks the byte timer. True when it queued a request.
    bool StepWhileQuiet();
    void FrameNextBlock();
    void CheckByteTimeout(int state);
    // A byte while no exchange runs: dropped, unless it casts doubt on an acceptance.
    void OnIdleByte(uint8_t byte);
    // How long the next read may wait: the read wait, or less when the quiet watch ends sooner.
    uint32_t ReadWaitNow();
    // Ends the acceptance watch of the last block when its time is up; true while it runs.
    bool WatchingLastBlock();

    // Why the link starts over. Each clears the same things and starts a new exchange; they
    // differ in what they post and where the link then waits.
    enum class Over {
        Timeout,      // no byte in time: the state's timeout code, then link-lost
        EscRestarted, // the ESC on the lead is not the one identified: 22
        NewOpening,   // the port was lost or opened anew while the link was up: link-lost
        Reset,        // the window starts the engine afresh: nothing
        Rejection,    // the window refused the ESC: nothing
    };
    void StartOver(Over why);

    // Every change of step goes through here (a change of link state is traced).
    void GoTo(Step step) {
        const Step old = m_Step.exchange(step);
        if (LinkStateOf(old) != LinkStateOf(step) && m_Trace.Enabled()) {
            m_Trace.LinkState(Now(), LinkStateOf(old), LinkStateOf(step));
        }
    }
    // Begins an exchange the worker starts by itself (identify, keep-alive).
    void BeginOwnExchange(Step start);

    // Guards of the table's rows (on m_byRx, the byte being fed).
    bool PastLastField() const;
    bool AnotherIdentity() const;
    bool AnotherFieldCount() const;
    bool CountDue() const;
    bool LastOfFieldMoreDue() const;
    bool LastOfField() const;
    bool LeadByteDue() const;
    bool BlockByteDue() const;
    bool CheckByteDue() const;
    bool FrameReady() const;
    bool LastHeaderByteDue() const;
    bool HeaderByteDue() const;
    bool BodyQueued() const;
    bool BodyGone() const;
    bool VerdictInDoubt() const;
    bool RetriesLeft() const;

    // Actions of the table's rows, one job each.
    void Nothing() {}
    void AnswerGoOn();
    void AnswerGreeting();
    void PostGreeting();
    void RequestIdentity();
    void TakeFieldCount();
    void BeginField();
    void StoreFieldByte();
    void AskNextField();
    void StoreLastField();
    void TakeIdentity();
    void EscRestarted();
    void RequestRead();
    void SendReadCommand();
    void RefuseRead();
    void TakeLeadByte();
    void StoreBlockByte();
    void StoreCheckByte();
    void JudgeRead();
    void RequestWrite();
    void DropUnframedBlock();
    void SendHeaderByte();
    void ConfirmPreviousBlock();
    void FailHeader();
    void SendBody();
    void DoubtVerdict();
    void AcceptBlock();
    void RequeueBlock();
    void FailBlock();
    bool ReplyIsKnownIdentity() const;

    // Appends one byte to the outgoing message.
    void SendByte(uint8_t byte);
    // Replaces the outgoing message; false (nothing queued) while another is pending.
    bool SendBytes(const uint8_t* bytes, int count);

    // Waits up to 500 ms for an idle link (or one in state alsoFrom) with nothing pending, and
    // returns holding m_StateLock; false (lock not held) when the wait ran out.
    bool ClaimLink(int alsoFrom, std::unique_lock<std::mutex>& lock);
    void ServePortOpening(uint32_t serial);
    // Makes the searches the user-interface thread noted on the port, posting
    // LN_DONGLE_SEARCHED for each.
    void MakeNotedSearches();
    void PostSearchOutcome(bool opened, bool wholeWalk, uint32_t tag);
    // The port was lost or opened anew: the link starts over (link-lost posted unless it was
    // down already) and serves the opening `serial`.
    void RestartForOpening(uint32_t serial);
    void NextEscEpoch() {
        const uint32_t next = m_nEscEpoch.load() + 1;
        m_nEscEpoch.store(next != kAnyEpoch ? next : 0);
    }

    PortBase* m_pPort = nullptr;
    std::atomic<TransferRecord*> m_pWriteRequest{nullptr};
    std::atomic<TransferRecord*> m_pReadRequest{nullptr};
    std::atomic<bool> m_bReportIdentity{false};
    std::atomic<bool> m_bIdentifyNeeded{false};
    std::atomic<NotifySink*> m_pNotifySink{nullptr};
    std::thread m_thread;
    std::atomic<bool> m_bRunning{false};
    std::mutex m_StateLock;
    Clock* m_pClock = &SystemClock::Instance();
    LinkTrace m_Trace;

    std::atomic<int> m_nTxLength{0};
    uint8_t m_TxBuffer[kTxBufferSize] = {};
    uint8_t m_RxBuffer[kRxBufferSize] = {};
    int m_nTxOffset = 0;        // worker's send offset into m_TxBuffer
    uint32_t m_nPortSerial = 0; // the port opening the link state belongs to (worker only)
    uint8_t m_byRx = 0;
    std::atomic<int> m_nBlocksLeft{0};
    std::atomic<const uint8_t*> m_pNextBlock{nullptr};
    std::unique_ptr<uint8_t[]> m_pFrame;
    int m_nFrameLength = 0;
    std::atomic<uint8_t> m_byCommand{0};
    std::atomic<bool> m_bSlowWrites{false};
    std::atomic<bool> m_bCancel{false}; // the transfer stops before its next block
    std::atomic<int> m_nRetries{kBlockRetries};
    std::atomic<Step> m_Step{Step::Down};
    std::atomic<uint32_t> m_dwByteTimerStart{0};
    std::atomic<uint32_t> m_dwLastIoTick{0};
    // Counts ESC connections: a new one starts with every reported identity and ends with
    // every link timeout or reset.
    std::atomic<uint32_t> m_nEscEpoch{0};
    std::atomic<uint32_t> m_nExchangeSerial{0}; // the last serial handed out
    std::atomic<uint32_t> m_nExchange{0};       // the exchange under way

    // Scratch of the byte handlers, one for each exchange.
    struct IdentifyScratch {
        uint8_t model[3] = {0xFF, 0xFF, 0xFF};   // field 0x11: tag, model, family
        uint8_t version[3] = {0xFF, 0xFF, 0xFF}; // field 0x13: tag, letter, version
        uint8_t* field = nullptr;                // the field being filled
        int fieldLength = 3;
        int fill = 0;
        int count = 0; // fields announced
        int received = 0;
        bool complete = false; // every announced field is in: only the end may follow
    };
    struct ReadScratch {
        uint8_t* target = nullptr; // next block byte goes here
        uint8_t* end = nullptr;    // the end of the record's buffer
        int byteIndex = 0;         // of the reply, its lead byte 0
        int checkBytes = 0;        // of the two after the block
        uint16_t replyLength = 0;
        uint16_t check = 0xFFFF;
        uint16_t rxCheck = 0;
    };
    struct WriteScratch {
        int byteIndex = 0; // next frame byte to send
        int headerLength = 0;
        bool bodyQueued = false; // the block's remainder has been queued behind its header
        bool inDoubt = false;    // a greeting or a second go-on came: the verdict cannot count
    };
    // After a block's acceptance the ESC must stay quiet until the next block's request is
    // answered (after the last block: for kLastBlockWatchMs). A byte meanwhile, a refusal
    // that a stray acceptance came ahead of say, makes the acceptance doubtful: the transfer
    // fails rather than be called done, and the block is never sent again.
    struct AcceptanceWatch {
        bool active = false;
        bool lastBlock = false; // the transfer's outcome waits for the watch to end
        uint8_t command = 0;
        uint32_t since = 0;
    };
    IdentifyScratch m_Identify;
    // The identity the last finished identify or keep-alive reply carried: every keep-alive
    // must bring it back word for word.
    struct KnownIdentity {
        int count = -1;
        uint8_t model[3] = {};
        uint8_t version[3] = {};
    };
    KnownIdentity m_Known;
    ReadScratch m_Read;
    WriteScratch m_Write;
    AcceptanceWatch m_Watch;
    // Since when the port has taken none of the queued bytes (0: it takes them).
    uint32_t m_dwTxStalledSince = 0;

private:
    static void LinkThreadProc(LinkBase* link);
    static const Row kRows[];
};

} // namespace corvane
