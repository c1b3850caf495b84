// The ESC conversation: the byte handlers of the four exchanges and the hand-over of read and
// write requests from the user-interface thread. Handlers run with m_StateLock held.
#include <cstring>
#include <new>

#include "Crc16.h"
#include "LinkBase.h"

namespace corvane {

void LinkBase::SetLinkState(int state) {
    std::lock_guard<std::mutex> lock(m_StateLock);
    StoreLinkState(state);
}

void LinkBase::OnGreetingByte(const uint8_t* byte) {
    StartRxTimer(Now());
    if (byte == nullptr) {
        return;
    }
    m_byRx = *byte;
    switch (m_nSubState.load()) {
    case SUB_GREETING_WAIT:
        if (m_byRx == esc::kGoOn) {
            SendByte(esc::kClose);
            StoreLinkState(LINK_IDLE);
        } else if (m_byRx == esc::kGreeting) {
            SendByte(esc::kGoOn);
            m_nSubState.store(SUB_GREETING_ANSWERED);
        }
        break;
    case SUB_GREETING_ANSWERED:
        if (m_byRx == esc::kClose) {
            StoreLinkState(LINK_IDLE);
            m_nSubState.store(SUB_GREETING_WAIT);
            Post(LN_GREETING, 0);
        } else if (m_byRx == esc::kGoOn) {
            StoreLinkState(LINK_IDLE);
            m_nSubState.store(SUB_GREETING_WAIT);
        }
        break;
    default:
        break;
    }
}

// In an exchange, a byte that plays no part in it (a re-plugged ESC greeting, line noise)
// does not restart the 1,000 ms timer: otherwise a stream of them would hold the exchange
// open for ever and the window would never hear that it failed.
void LinkBase::OnIdentifyByte(const uint8_t* byte) {
    const uint32_t timerBefore = m_dwLastRxTick.load();
    StartRxTimer(Now());
    if (byte != nullptr) {
        m_byRx = *byte;
    }
    switch (m_nSubState.load()) {
    case SUB_IDENTIFY_START:
        if (byte == nullptr) {
            m_Identify.count = 0;
            m_Identify.received = 1;
            m_Identify.complete = false;
            SendByte(esc::kIdentify);
            m_nSubState.store(SUB_IDENTIFY_AWAIT_TAG);
            std::memset(m_Identify.model, 0xFF, sizeof m_Identify.model);
            std::memset(m_Identify.version, 0xFF, sizeof m_Identify.version);
        }
        break;
    case SUB_IDENTIFY_AWAIT_TAG:
        if (byte == nullptr) {
            break;
        }
        if (m_Identify.complete && m_byRx != esc::kEnd) {
            // Past the last field: an ESC that restarted greets here, and noise plays no part.
            if (m_nLinkState.load() == LINK_KEEPALIVE && m_byRx == esc::kGreeting) {
                OnEscRestarted(m_byRx);
            } else {
                m_dwLastRxTick.store(timerBefore);
            }
        } else if (m_Identify.count == 0) {
            m_Identify.count = m_byRx;
            if (m_nLinkState.load() == LINK_KEEPALIVE && m_Identify.count != m_Known.count) {
                OnEscRestarted(m_byRx);
            }
        } else if (m_byRx == esc::kModelTag || m_byRx == esc::kGreeting) {
            m_Identify.field = m_byRx == esc::kModelTag ? m_Identify.model : m_Identify.version;
            m_Identify.field[0] = m_byRx;
            m_Identify.fill = 1;
            m_Identify.fieldLength = 3;
            m_nSubState.store(SUB_IDENTIFY_IN_FIELD);
        } else if (m_byRx == esc::kEnd && m_Identify.complete) {
            if (m_nLinkState.load() == LINK_KEEPALIVE) {
                // Another identity (another ESC, other firmware, or noise in the reply) is
                // not taken from a keep-alive: the ESC is identified afresh, and the window
                // hears what that identify finds.
                if (!ReplyIsKnownIdentity()) {
                    OnEscRestarted(m_byRx);
                    break;
                }
            } else {
                m_Known.count = m_Identify.count;
                std::memcpy(m_Known.model, m_Identify.model, sizeof m_Known.model);
                std::memcpy(m_Known.version, m_Identify.version, sizeof m_Known.version);
            }
            StoreLinkState(LINK_IDLE);
            m_bIdentifyNeeded.store(false);
            m_pPort->MarkEscReady();
            OnIdentified();
        } else {
            m_dwLastRxTick.store(timerBefore); // not part of the reply: the timer runs on
        }
        break;
    case SUB_IDENTIFY_IN_FIELD:
        if (byte == nullptr || m_Identify.field == nullptr) {
            break;
        }
        if (m_Identify.fill < m_Identify.fieldLength) {
            m_Identify.field[m_Identify.fill] = m_byRx;
        }
        ++m_Identify.fill;
        if (m_Identify.fill >= m_Identify.fieldLength) {
            m_nSubState.store(SUB_IDENTIFY_AWAIT_TAG);
            // The keep-alive too reads every field: it compares the whole identity.
            if (m_Identify.received != m_Identify.count) {
                ++m_Identify.received;
                SendByte(esc::kGoOn);
            } else {
                m_Identify.complete = true;
            }
        }
        break;
    default:
        break;
    }
}

bool LinkBase::ReplyIsKnownIdentity() const {
    return m_Identify.count == m_Known.count && m_Identify.received == m_Identify.count &&
           std::memcmp(m_Identify.model, m_Known.model, sizeof m_Known.model) == 0 &&
           std::memcmp(m_Identify.version, m_Known.version, sizeof m_Known.version) == 0;
}

void LinkBase::OnEscRestarted(uint8_t byte) {
    // Nothing checked against the connection that ended may reach the ESC now on the lead.
    NextEscEpoch();
    m_nTxOffset = 0;
    m_nTxLength.store(0);
    m_bReportIdentity.store(true);
    m_bIdentifyNeeded.store(true);
    m_dwTxStalledSince = 0;
    Post(LN_ESC_RESTARTED, 0);
    BeginExchange();
    m_nSubState.store(SUB_GREETING_WAIT);
    if (byte == esc::kGreeting || byte == esc::kGoOn) {
        StoreLinkState(LINK_WAIT_ESC);
        OnGreetingByte(&byte); // answered at once
    } else {
        StoreLinkState(LINK_IDLE); // noise: identified afresh on the next quiet pass
    }
}

void LinkBase::OnReadByte(const uint8_t* byte) {
    const uint32_t timerBefore = m_dwLastRxTick.load();
    StartRxTimer(Now());
    if (byte != nullptr) {
        m_byRx = *byte;
    }
    TransferRecord* record = m_pReadRequest.load();
    switch (m_nSubState.load()) {
    case SUB_READ_START:
        if (byte == nullptr) {
            m_Read.byteIndex = 0;
            m_Read.checkBytes = 0;
            m_Read.replyLength = 0;
            m_Read.check = kReadCheckStart;
            m_Read.rxCheck = 0;
            SendByte(esc::kReadRequest);
            m_nSubState.store(SUB_READ_AWAIT_REPLY);
        }
        break;
    case SUB_READ_AWAIT_REPLY:
        if (byte == nullptr || record == nullptr) {
            break;
        }
        if (m_byRx == esc::kReadReply) {
            m_nSubState.store(SUB_READ_IN_BLOCK);
        } else if (m_byRx == esc::kGoOn) {
            SendByte(m_byCommand.load());
        } else {
            Post(LN_READ_FAILED, m_byCommand.load() | kReadGoesOn);
            m_dwLastRxTick.store(timerBefore);
        }
        break;
    case SUB_READ_IN_BLOCK: {
        if (byte == nullptr || record == nullptr) {
            break;
        }
        if (m_Read.byteIndex == 0) {
            // The lead byte: the block arrives next, into a fresh buffer.
            m_Read.replyLength = kParamBlockSize;
            record->wBlockLength = kParamBlockSize;
            const size_t size = static_cast<size_t>(record->byBlockCount) * kParamBlockSize;
            record->pData.reset();
            record->nDataSize = 0;
            if (size > 0) {
                record->pData.reset(new (std::nothrow) uint8_t[size]());
                record->nDataSize = record->pData ? static_cast<uint32_t>(size) : 0;
            }
            m_Read.target = record->pData.get();
        } else if (m_Read.byteIndex <= m_Read.replyLength) {
            Crc16Update(&m_Read.check, m_byRx);
            uint8_t* end = record->pData.get() + record->nDataSize;
            if (m_Read.target != nullptr && m_Read.target < end) {
                *m_Read.target++ = m_byRx;
            }
        } else if (m_Read.checkBytes < 2) {
            if (m_Read.checkBytes == 0) {
                m_Read.rxCheck = m_byRx;
            } else {
                m_Read.rxCheck = static_cast<uint16_t>(m_Read.rxCheck | (m_byRx << 8));
            }
            ++m_Read.checkBytes;
        } else if (m_byRx == esc::kEnd) {
            bool match = m_Read.check == m_Read.rxCheck;
            if (!match && record->pData && record->nDataSize >= kParamBlockSize) {
                m_Read.check = FallbackSum(record->pData.get(), kParamBlockSize);
                match = m_Read.check == m_Read.rxCheck;
            }
            Post(match ? LN_READ_DONE : LN_READ_FAILED, m_byCommand.load());
            StoreLinkState(LINK_IDLE);
        } else {
            m_dwLastRxTick.store(timerBefore);
        }
        ++m_Read.byteIndex;
        break;
    }
    default:
        break;
    }
}

void LinkBase::OnWriteByte(const uint8_t* byte) {
    const uint32_t timerBefore = m_dwLastRxTick.load();
    StartRxTimer(Now());
    if (byte != nullptr) {
        m_byRx = *byte;
    }
    TransferRecord* record = m_pWriteRequest.load();
    // The command the write was handed over with: the window may reuse the record meanwhile.
    const uint8_t command = m_byCommand.load();
    switch (m_nSubState.load()) {
    case SUB_WRITE_START: {
        if (byte != nullptr) {
            break;
        }
        m_Write.byteIndex = 0;
        m_Write.bodyQueued = false;
        Post(LN_BLOCK_START, command);
        if (command == esc::kWriteFirmware && m_pFrame) {
            m_bReportIdentity.store(true); // the ESC is identified afresh after an update
            m_Write.headerLength = 3;
            m_pFrame[0] = esc::kWriteFirmware;
        } else if (command == esc::kWriteParams && m_pFrame) {
            m_Write.headerLength = 1;
            m_pFrame[0] = esc::kWriteParams;
            const uint16_t check = Crc16(m_pFrame.get() + 3, kParamBlockSize, kWriteCheckStart);
            m_pFrame[1] = static_cast<uint8_t>(check & 0xFF);
            m_pFrame[2] = static_cast<uint8_t>(check >> 8);
        } else {
            StoreLinkState(LINK_IDLE);
            break;
        }
        m_nSubState.store(SUB_WRITE_HEADER);
        SendByte(esc::kWriteRequest);
        break;
    }
    case SUB_WRITE_HEADER:
        if (byte == nullptr) {
            break;
        }
        if (m_byRx == esc::kGoOn) {
            m_Watch = {}; // the ESC answered the next block's request: the last one stands
            if (!m_pFrame || m_Write.byteIndex >= m_nFrameLength) {
                m_dwLastRxTick.store(timerBefore);
                break; // the frame was dropped after a refused header byte
            }
            SendByte(m_pFrame[m_Write.byteIndex]);
            ++m_Write.byteIndex;
            if (m_Write.byteIndex == m_Write.headerLength) {
                m_nSubState.store(SUB_WRITE_BODY);
            }
        } else {
            Post(LN_WRITE_FAILED, command);
            m_pFrame.reset();
            m_nFrameLength = 0;
            m_dwLastRxTick.store(timerBefore);
        }
        break;
    case SUB_WRITE_BODY:
        if (byte == nullptr) {
            break;
        }
        if (m_byRx == esc::kGoOn && m_Write.bodyQueued) {
            // Queued once: a second go-on would send the body again, to an ESC that may
            // have left the frame and would read it as commands.
            m_dwLastRxTick.store(timerBefore);
        } else if (m_byRx == esc::kGoOn) {
            if (m_pFrame && m_nFrameLength > m_Write.headerLength &&
                SendBytes(m_pFrame.get() + m_Write.headerLength,
                          m_nFrameLength - m_Write.headerLength)) {
                m_Write.bodyQueued = true;
            }
        } else if (m_byRx == esc::kEnd && !(m_Write.bodyQueued && m_nTxLength.load() == 0)) {
            // An acceptance before the whole frame has gone to the dongle cannot be the ESC's
            // answer to this block: a stray byte, dropped like any other.
            m_dwLastRxTick.store(timerBefore);
        } else if (m_byRx == esc::kEnd) {
            // Done only once the ESC has stayed quiet after it (see AcceptanceWatch).
            m_Watch = {true, m_nBlocksLeft.load() == 0, command, Now()};
            StoreLinkState(LINK_IDLE);
            m_nRetries.store(kBlockRetries);
            m_bSlowWrites.store(false);
        } else if (m_byRx == esc::kClose) {
            m_bSlowWrites.store(true);
            if (m_nRetries.load() != 0) {
                // Sent again only if nothing contradicts the refusal before the ESC answers
                // the request: a stray refusal may stand ahead of an acceptance.
                m_Watch = {true, false, command, Now()};
                const int length = command == esc::kWriteParams
                                       ? kParamBlockSize
                                       : (record ? record->wBlockLength : 0);
                m_pNextBlock.store(m_pNextBlock.load() - length);
                m_nBlocksLeft.store(m_nBlocksLeft.load() + 1);
                m_nRetries.store(m_nRetries.load() - 1);
            } else {
                m_nBlocksLeft.store(0);
                Post(LN_WRITE_FAILED, command);
            }
            StoreLinkState(LINK_IDLE);
        } else {
            m_dwLastRxTick.store(timerBefore);
        }
        break;
    default:
        break;
    }
}

bool LinkBase::ClaimLink(int alsoFrom, std::unique_lock<std::mutex>& lock) {
    uint32_t start = Now();
    for (;;) {
        lock = std::unique_lock<std::mutex>(m_StateLock);
        const int state = m_nLinkState.load();
        // Nothing may be pending: the request's first byte starts a new message. Nor may a
        // write still have blocks to frame: they go out under the command it was handed.
        if ((state == LINK_IDLE || state == alsoFrom) && m_nTxLength.load() == 0 &&
            m_nBlocksLeft.load() == 0 && !m_Watch.active) {
            return true;
        }
        lock.unlock();
        const uint32_t now = Now();
        if (now < start) {
            start = now; // the tick counter wrapped
        } else if (now - start > kHandOverWaitMs) {
            return false;
        }
        m_pClock->Sleep(kHandOverStepMs);
    }
}

bool LinkBase::StartRead(TransferRecord* record, uint32_t* exchange) {
    if (record == nullptr) {
        return false;
    }
    std::unique_lock<std::mutex> lock;
    if (!ClaimLink(LINK_READ, lock)) {
        // Read-done, not read-failed, is what the protocol posts here: the window must tell
        // this from a finished read by its own bookkeeping (it asked, and the hand-over was
        // refused), never by looking at a block that was not read.
        PostRefusal(LN_READ_DONE, record->byCommand);
        return false;
    }
    BeginExchange();
    if (exchange != nullptr) {
        *exchange = m_nExchange.load(); // under the lock: the read's own serial
    }
    // Only a request that owns the link may point the worker at its record.
    m_pReadRequest.store(record);
    m_byCommand.store(record->byCommand);
    StoreLinkState(LINK_READ);
    m_nSubState.store(SUB_READ_START);
    OnReadByte(kNoByte);
    return true;
}

bool LinkBase::StartWrite(TransferRecord* record) {
    return StartWrite(record, nullptr, 0, kAnyEpoch);
}

bool LinkBase::StartWrite(TransferRecord* record, const uint8_t* data, uint32_t size,
                          uint32_t epoch) {
    if (record == nullptr) {
        return false;
    }
    if (!record->pData && data == nullptr) {
        return false;
    }
    std::unique_lock<std::mutex> lock;
    if (!ClaimLink(-1, lock)) {
        PostRefusal(LN_WRITE_FAILED, record->byCommand);
        return false;
    }
    if (epoch != kAnyEpoch && epoch != m_nEscEpoch.load()) {
        PostRefusal(LN_WRITE_FAILED, record->byCommand);
        return false;
    }
    if (data != nullptr) {
        if (!record->pData || record->nDataSize != size) {
            record->pData.reset(new (std::nothrow) uint8_t[size]);
            record->nDataSize = record->pData ? size : 0;
            if (!record->pData) {
                PostRefusal(LN_WRITE_FAILED, record->byCommand);
                return false;
            }
        }
        std::memcpy(record->pData.get(), data, size);
    }
    BeginExchange();
    // Not before the link is ours: a write still in flight reads its record through this.
    m_pWriteRequest.store(record);
    m_nRetries.store(kBlockRetries);
    m_nBlocksLeft.store(record->byBlockCount);
    m_pNextBlock.store(record->pData.get());
    m_byCommand.store(record->byCommand);
    StoreLinkState(LINK_IDLE);
    return true;
}

} // namespace corvane
