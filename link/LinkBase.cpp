// The worker loop and the engine's lifecycle. What each byte does is the table in LinkTable.cpp.
#include "LinkBase.h"

#include <chrono>
#include <cstring>
#include <new>

namespace corvane {

namespace {
// While no dongle is open the worker has nothing to wait on; this pause keeps it off the CPU
// and still notices an arrival quickly.
constexpr auto kClosedPortPause = std::chrono::milliseconds(20);

// The notification a timeout in each link state posts before link-lost; 0: none (a
// keep-alive that times out posts link-lost alone).
uint32_t TimeoutCode(int state) {
    switch (state) {
    case LINK_WAIT_ESC:
        return LN_TIMEOUT_WAIT;
    case LINK_IDENTIFY:
        return LN_TIMEOUT_IDENTIFY;
    case LINK_READ:
        return LN_TIMEOUT_READ;
    case LINK_WRITE:
        return LN_TIMEOUT_WRITE;
    default:
        return 0;
    }
}
} // namespace

const uint8_t* const LinkBase::kNoByte = nullptr;

LinkBase::LinkBase() {
    m_Trace.SetStream(LinkTrace::FromEnvironment());
}

LinkBase::~LinkBase() {
    Run(false);
}

void LinkBase::Post(LinkNotice notice) {
    if (NotifySink* sink = m_pNotifySink.load()) {
        notice.exchange = m_nExchange.load();
        sink->PostLinkNotify(notice);
    }
}

void LinkBase::PostRefusal(uint32_t code, uint32_t value) {
    if (NotifySink* sink = m_pNotifySink.load()) {
        sink->PostLinkNotify({code, value, m_nExchangeSerial.fetch_add(1) + 1});
    }
}

bool LinkBase::Run(bool start) {
    if (start) {
        if (m_thread.joinable()) {
            return false;
        }
        m_bRunning.store(true);
        m_thread = std::thread(&LinkBase::LinkThreadProc, this);
        return true;
    }
    if (!m_thread.joinable()) {
        return true;
    }
    // Every wait inside a pass is bounded (50 ms read; 150 ms for the dongle to take a
    // report, then the kernel's own limit on the write, 5 s; short pauses), and a pass makes
    // at most one write, so the join waits for one write at most and cannot hang.
    m_bRunning.store(false);
    m_thread.join();
    return true;
}

void LinkBase::LinkThreadProc(LinkBase* link) {
    if (link == nullptr) {
        return;
    }
    link->BeginWorker();
    while (link->m_bRunning.load()) {
        link->RunPass();
        const int portState = link->m_pPort ? link->m_pPort->GetState() : PORT_CLOSED;
        if (portState != PORT_OPEN && portState != PORT_ESC_READY) {
            std::this_thread::sleep_for(kClosedPortPause);
        }
    }
}

void LinkBase::BeginWorker() {
    if (m_pPort != nullptr) {
        const bool opened = m_pPort->Open();
        ServePortOpening(m_pPort->OpenSerial());
        PostSearchOutcome(opened, true, 0);
        // Whatever the window noted while this search ran.
        MakeNotedSearches();
    }
    m_dwByteTimerStart.store(0);
}

void LinkBase::MakeNotedSearches() {
    // One by one, in the order noted: the window hears what came of each, as it would have
    // from its own search. Only the first to open greets the dongle (one write); the port is
    // open for the rest, which then open nothing.
    while (const std::optional<PortBase::NotedSearch> search = m_pPort->TakeNotedSearch()) {
        const bool opened =
            search->wholeWalk ? m_pPort->Search() : m_pPort->OnDeviceArrival(search->path);
        PostSearchOutcome(opened, search->wholeWalk, search->tag);
    }
}

void LinkBase::PostSearchOutcome(bool opened, bool wholeWalk, uint32_t tag) {
    uint32_t outcome = (opened ? kSearchOpened : 0) | (wholeWalk ? kSearchWholeWalk : 0);
    outcome |= m_pPort->AccessFlags() | tag << kSearchTagShift;
    // The opening goes where an exchange's serial would: the window says "connected" only
    // while that opening is still the one held.
    if (NotifySink* sink = m_pNotifySink.load()) {
        sink->PostLinkNotify({LN_DONGLE_SEARCHED, outcome, opened ? m_pPort->OpenSerial() : 0});
    }
}

void LinkBase::RestartForOpening(uint32_t serial) {
    if (m_Step.load() != Step::Down) {
        StartOver(Over::NewOpening);
    }
    ServePortOpening(serial);
}

void LinkBase::ServePortOpening(uint32_t serial) {
    m_nPortSerial = serial;
    m_pPort->Serve(serial);
}

void LinkBase::Reset() {
    std::lock_guard<std::mutex> lock(m_StateLock);
    if (m_pPort != nullptr && m_pPort->HoldsDevice()) {
        m_pPort->Close();
    }
    StartOver(Over::Reset);
}

void LinkBase::StartOver(Over why) {
    const Step at = m_Step.load();
    // Nothing checked against the connection that ended may reach the ESC now on the lead.
    NextEscEpoch();
    // Whatever could not go out, and every exchange's leftovers, belong to what just ended.
    m_byCommand.store(0);
    m_nTxOffset = 0;
    m_nTxLength.store(0);
    m_dwTxStalledSince = 0;
    m_bSlowWrites.store(false);
    m_nRetries.store(kBlockRetries);
    m_nBlocksLeft.store(0);
    m_pFrame.reset();
    m_nFrameLength = 0;
    m_Identify = {};
    m_Read = {};
    m_Write = {};
    m_Watch = {};
    m_dwByteTimerStart.store(0);
    // Whichever ESC answers next is identified afresh, and the window hears what it is. After
    // a timeout the keep-alive does it: it checks the ESC that greets against the identity on
    // record, and has it identified afresh if it is another.
    if (why != Over::Timeout) {
        m_bIdentifyNeeded.store(true);
    }
    m_bReportIdentity.store(true);
    switch (why) {
    case Over::Timeout:
        if (const uint32_t code = TimeoutCode(LinkStateOf(at)); code != 0) {
            Post(code, static_cast<uint32_t>(PlaceOf(at)));
        }
        Post(LN_LINK_LOST, 0);
        break;
    case Over::EscRestarted:
        Post(LN_ESC_RESTARTED, 0);
        break;
    case Over::NewOpening:
        Post(LN_LINK_LOST, 0);
        break;
    case Over::Reset:
    case Over::Rejection:
        break;
    }
    BeginExchange(); // the wait for the ESC
    if (why == Over::Rejection) {
        GoTo(Step::EscRejected);
        StartRxTimer(Now()); // greeted afresh once it has been silent for the byte timeout
    } else {
        const bool held = m_pPort != nullptr && m_pPort->HoldsDevice();
        GoTo(held ? Step::GreetingWait : Step::Down);
    }
}

void LinkBase::RunPass() {
    if (m_pPort == nullptr) {
        return;
    }
    // State first, then serial: an open sets the serial before the state, so an open state
    // read here always comes with its own serial or a later one.
    const int portState = m_pPort->GetState();
    const uint32_t serial = m_pPort->OpenSerial();
    if (portState == PORT_CLOSED) {
        // Only the opening seen failing is closed, and the link is reset for it. (Outside the
        // state lock: closing is port I/O.) Only this thread opens the port, so nothing can
        // have opened it since the state was read.
        m_pPort->CloseFailed(serial);
        {
            std::lock_guard<std::mutex> lock(m_StateLock);
            RestartForOpening(serial);
        }
        // The searches the window noted are made here, on the worker, once the link has let
        // go of the old opening; a new opening is taken up on the next pass.
        MakeNotedSearches();
        return;
    }
    if (portState != PORT_OPEN && portState != PORT_ESC_READY) {
        return;
    }
    if (serial != m_nPortSerial) {
        // A search on the closed port opened the dongle again (or another one): whatever the
        // link was doing belonged to the old opening.
        std::lock_guard<std::mutex> lock(m_StateLock);
        RestartForOpening(serial);
        return;
    }

    m_pPort->BoundReadWait(ReadWaitNow());
    const int received = m_pPort->Read(m_RxBuffer, kRxBufferSize);
    if (received > 0) {
        m_Trace.Bytes(Now(), false, m_RxBuffer, received);
        std::lock_guard<std::mutex> lock(m_StateLock);
        // Bytes that come while no exchange runs are dropped, and must not put off the
        // keep-alive either: an ESC that restarted (after a firmware update, say) greets every
        // few hundred milliseconds, and without an exchange the link would never find out.
        if (GetLinkState() != LINK_IDLE) {
            m_dwLastIoTick.store(Now());
        }
        Dispatch(received, m_RxBuffer);
        return;
    }

    if (m_nTxLength.load() != 0) {
        SendQueued();
        return;
    }

    if (StepWhileQuiet()) {
        // What the idle link just started (a block's request, an identify) goes out in this
        // pass: left to the next one, it would wait out a whole read first, once per block.
        SendQueued();
    }
}

void LinkBase::SendQueued() {
    const int taken = SendPending(m_nTxOffset);
    if (taken > 0) {
        std::lock_guard<std::mutex> lock(m_StateLock);
        m_dwTxStalledSince = 0;
        const int left = m_nTxLength.load() - taken;
        // The offset is back at 0 before the length says "nothing pending", so whoever
        // appends the next message starts it at the front of the buffer.
        m_nTxOffset = left > 0 ? m_nTxOffset + taken : 0;
        m_nTxLength.store(left > 0 ? left : 0);
        return;
    }
    // The dongle took nothing: an exchange must still time out, or a dongle that stops
    // taking reports would hold the link busy for ever without a word to the window.
    std::lock_guard<std::mutex> lock(m_StateLock);
    // Whatever the state: the answer to a greeting waits in the queue of an idle link.
    const uint32_t now = Now();
    if (m_dwTxStalledSince == 0 || now < m_dwTxStalledSince) {
        m_dwTxStalledSince = now != 0 ? now : 1;
    } else if (now - m_dwTxStalledSince > kTxStallMs) {
        StartOver(Over::Timeout);
        return;
    }
    CheckByteTimeout(GetLinkState());
}

void LinkBase::OnIdleByte(uint8_t byte) {
    if (!m_Watch.active) {
        return;
    }
    // A flashed ESC may restart at once and greet, with either greeting it has: that is no
    // verdict on its last block.
    if (m_Watch.lastBlock && m_Watch.command == esc::kWriteFirmware &&
        (byte == esc::kGreeting || byte == esc::kGoOn)) {
        return;
    }
    const uint8_t command = m_Watch.command;
    m_Watch = {};
    m_nBlocksLeft.store(0);
    Post(LN_WRITE_FAILED, command);
}

uint32_t LinkBase::ReadWaitNow() {
    std::lock_guard<std::mutex> lock(m_StateLock);
    if (!m_Watch.active || !m_Watch.lastBlock) {
        return kReadWaitMs;
    }
    // The watch ends the moment it has lasted longer than its time: the read that would
    // outlast it ends then, and the acceptance stands a read wait sooner.
    const uint32_t watched = Now() - m_Watch.since;
    return watched > kLastBlockWatchMs ? 0 : std::min(kReadWaitMs, kLastBlockWatchMs - watched + 1);
}

bool LinkBase::WatchingLastBlock() {
    if (!m_Watch.active || !m_Watch.lastBlock) {
        return false;
    }
    const uint32_t now = Now();
    if (now >= m_Watch.since && now - m_Watch.since <= kLastBlockWatchMs) {
        return true;
    }
    const uint8_t command = m_Watch.command;
    m_Watch = {};
    Post(LN_WRITE_DONE, command);
    return false;
}

bool LinkBase::StepWhileQuiet() {
    std::lock_guard<std::mutex> lock(m_StateLock);
    const int state = GetLinkState();
    switch (state) {
    case LINK_IDLE:
        m_dwByteTimerStart.store(0);
        if (WatchingLastBlock()) {
            break;
        }
        if (m_bIdentifyNeeded.load()) {
            BeginOwnExchange(Step::IdentifyStart);
        } else if (m_nBlocksLeft.load() != 0) {
            FrameNextBlock();
        } else if (Now() - m_dwLastIoTick.load() > kKeepAliveQuietMs) {
            BeginOwnExchange(Step::KeepAliveStart);
        }
        break;
    case LINK_DOWN:
        GoTo(Step::GreetingWait);
        break;
    case LINK_WAIT_ESC:
    case LINK_IDENTIFY:
    case LINK_READ:
    case LINK_WRITE:
    case LINK_KEEPALIVE:
        CheckByteTimeout(state);
        break;
    default:
        break;
    }
    return state == LINK_IDLE && m_nTxLength.load() != 0;
}

void LinkBase::CheckByteTimeout(int state) {
    if (state < LINK_WAIT_ESC || state > LINK_KEEPALIVE) {
        return;
    }
    const uint32_t last = m_dwByteTimerStart.load();
    if (last == 0) {
        return;
    }
    const uint32_t now = Now();
    if (now < last) {
        StartRxTimer(now); // the tick counter wrapped: start over
    } else if (now - last > kByteTimeoutMs) {
        StartOver(Over::Timeout);
    }
}

void LinkBase::BeginOwnExchange(Step start) {
    BeginExchange();
    GoTo(start);
    Feed(kNoByte);
}

void LinkBase::Dispatch(int count, const uint8_t* bytes) {
    if (!m_pPort->HoldsDevice()) {
        GoTo(Step::Down);
    }
    for (int i = 0; i < count; ++i) {
        const uint8_t* byte = &bytes[i];
        switch (GetLinkState()) {
        case LINK_WAIT_ESC:
            OnGreetingByte(byte);
            break;
        case LINK_IDENTIFY:
        case LINK_KEEPALIVE:
            OnIdentifyByte(byte);
            break;
        case LINK_READ:
            OnReadByte(byte);
            break;
        case LINK_WRITE:
            OnWriteByte(byte);
            break;
        default:
            OnIdleByte(*byte); // no exchange runs: the byte is dropped
            break;
        }
    }
}

int LinkBase::SendPending(int offset) {
    const int length = m_nTxLength.load();
    if (offset < 0 || length <= 0 || offset + length > kTxBufferSize) {
        return 0;
    }
    const int taken = m_pPort->Write(m_TxBuffer + offset, length);
    if (taken <= 0) {
        return 0;
    }
    m_Trace.Bytes(Now(), true, m_TxBuffer + offset, taken);
    if (taken > 2) {
        m_pClock->Sleep(1);
    }
    if (m_bSlowWrites.load()) {
        m_pClock->Sleep(1);
    }
    m_dwLastIoTick.store(Now());
    return taken;
}

void LinkBase::SendByte(uint8_t byte) {
    const int length = m_nTxLength.load();
    const int at = m_nTxOffset + length;
    if (at >= kTxBufferSize) {
        return;
    }
    m_TxBuffer[at] = byte;
    m_nTxLength.store(length + 1);
}

bool LinkBase::SendBytes(const uint8_t* bytes, int count) {
    // A new whole message never overlaps one still going out; a noisy ESC that asks twice
    // gets the message once rather than two interleaved copies.
    if (m_nTxLength.load() != 0 || count <= 0 || count > kTxBufferSize) {
        return false;
    }
    m_nTxOffset = 0;
    std::memcpy(m_TxBuffer, bytes, static_cast<size_t>(count));
    m_nTxLength.store(count);
    return true;
}

void LinkBase::FrameNextBlock() {
    TransferRecord* record = m_pWriteRequest.load();
    m_pFrame.reset();
    m_nFrameLength = 0;
    const int blocksLeft = m_nBlocksLeft.load();
    if (m_bCancel.exchange(false)) {
        m_nBlocksLeft.store(0);
        m_Watch = {};
        Post(LN_WRITE_FAILED, m_byCommand.load());
        return;
    }
    Post(LN_BLOCK_PROGRESS, static_cast<uint32_t>(blocksLeft));
    if (record == nullptr) {
        m_nBlocksLeft.store(0);
        m_Watch = {};
        return;
    }
    const bool params = m_byCommand.load() == esc::kWriteParams;
    const int dataLength = params ? kParamBlockSize : record->wBlockLength;
    const int frameLength = params ? kParamFrameSize : dataLength + 1;
    const uint8_t* next = m_pNextBlock.load();
    const uint8_t* begin = record->pData.get();
    // Never frame bytes from outside the record's data, whatever the counts say.
    if (begin == nullptr || next < begin || dataLength <= 0 ||
        static_cast<size_t>(next - begin) + static_cast<size_t>(dataLength) > record->nDataSize) {
        m_nBlocksLeft.store(0);
        m_Watch = {};
        Post(LN_WRITE_FAILED, m_byCommand.load());
        return;
    }
    m_pFrame.reset(new (std::nothrow) uint8_t[static_cast<size_t>(frameLength)]());
    if (!m_pFrame) {
        return; // tried again on the next pass
    }
    m_nFrameLength = frameLength;
    std::memcpy(m_pFrame.get() + (params ? 3 : 1), next, static_cast<size_t>(dataLength));
    m_pNextBlock.store(next + dataLength);
    m_nBlocksLeft.store(blocksLeft - 1);
    GoTo(Step::WriteStart);
    OnWriteByte(kNoByte);
}

} // namespace corvane
