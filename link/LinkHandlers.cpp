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

void LinkBase::SetSubState(int state) {
    std::lock_guard<std::mutex> lock(m_StateLock);
    m_nSubState.store(state);
}

void LinkBase::OnGreetingByte(const uint8_t* byte) {
    StartRxTimer(Now());
    if (byte == nullptr) {
        return;
    }
    m_byRx = *byte;
    switch (m_nSubState.load()) {
    case 0:
        if (m_byRx == esc::kGoOn) {
            SendByte(esc::kClose);
            StoreLinkState(LINK_IDLE);
        } else if (m_byRx == esc::kGreeting) {
            SendByte(esc::kGoOn);
            m_nSubState.store(2);
        }
        break;
    case 2:
        if (m_byRx == esc::kClose) {
            StoreLinkState(LINK_IDLE);
            m_nSubState.store(0);
            Post(LN_GREETING, 0);
        } else if (m_byRx == esc::kGoOn) {
            StoreLinkState(LINK_IDLE);
            m_nSubState.store(0);
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
    case 1:
        if (byte == nullptr) {
            m_nFieldCount = 0;
            m_nFieldsReceived = 1;
            SendByte(esc::kIdentify);
            m_nSubState.store(3);
            std::memset(m_Ident11, 0xFF, sizeof m_Ident11);
            std::memset(m_Ident13, 0xFF, sizeof m_Ident13);
        }
        break;
    case 3:
        if (byte == nullptr) {
            break;
        }
        if (m_nFieldCount == 0) {
            m_nFieldCount = m_byRx;
        } else if (m_byRx == esc::kModelTag || m_byRx == esc::kGreeting) {
            m_pFieldTarget = m_byRx == esc::kModelTag ? m_Ident11 : m_Ident13;
            m_pFieldTarget[0] = m_byRx;
            m_nFieldFill = 1;
            m_nFieldLength = 3;
            m_nSubState.store(2);
        } else if (m_byRx == esc::kEnd) {
            StoreLinkState(LINK_IDLE);
            m_bIdentifyNeeded.store(false);
            m_pPort->MarkEscReady();
            OnIdentified();
        } else {
            m_dwLastRxTick.store(timerBefore); // not part of the reply: the timer runs on
        }
        break;
    case 2:
        if (byte == nullptr || m_pFieldTarget == nullptr) {
            break;
        }
        if (m_nFieldFill < m_nFieldLength) {
            m_pFieldTarget[m_nFieldFill] = m_byRx;
        }
        ++m_nFieldFill;
        if (m_nFieldFill >= m_nFieldLength) {
            m_nSubState.store(3);
            if (m_nFieldsReceived != m_nFieldCount) {
                ++m_nFieldsReceived;
                if (m_nLinkState.load() == LINK_KEEPALIVE && !m_bReportIdentity.load()) {
                    SendByte(esc::kEnd);
                    StoreLinkState(LINK_IDLE);
                } else {
                    SendByte(esc::kGoOn);
                }
            }
        }
        break;
    default:
        break;
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
    case 1:
        if (byte == nullptr) {
            m_nByteIndex = 0;
            m_nHeaderLength = 0;
            m_wReplyLength = 0;
            m_wCheck = kReadCheckStart;
            m_wRxCheck = 0;
            SendByte(esc::kReadRequest);
            m_nSubState.store(3);
        }
        break;
    case 3:
        if (byte == nullptr || record == nullptr) {
            break;
        }
        if (m_byRx == esc::kReadReply) {
            m_nSubState.store(2);
        } else if (m_byRx == esc::kGoOn) {
            SendByte(m_byCommand.load());
        } else {
            Post(LN_READ_FAILED, m_byCommand.load());
            m_dwLastRxTick.store(timerBefore);
        }
        break;
    case 2: {
        if (byte == nullptr || record == nullptr) {
            break;
        }
        if (m_nByteIndex == 0) {
            // The lead byte: the block arrives next, into a fresh buffer.
            m_wReplyLength = kParamBlockSize;
            record->wBlockLength = kParamBlockSize;
            const size_t size = static_cast<size_t>(record->byBlockCount) * kParamBlockSize;
            record->pData.reset();
            record->nDataSize = 0;
            if (size > 0) {
                record->pData.reset(new (std::nothrow) uint8_t[size]());
                record->nDataSize = record->pData ? static_cast<uint32_t>(size) : 0;
            }
            m_pReadTarget = record->pData.get();
        } else if (m_nByteIndex <= m_wReplyLength) {
            Crc16Update(&m_wCheck, m_byRx);
            uint8_t* end = record->pData.get() + record->nDataSize;
            if (m_pReadTarget != nullptr && m_pReadTarget < end) {
                *m_pReadTarget++ = m_byRx;
            }
        } else if (m_nHeaderLength < 2) {
            if (m_nHeaderLength == 0) {
                m_wRxCheck = m_byRx;
            } else {
                m_wRxCheck = static_cast<uint16_t>(m_wRxCheck | (m_byRx << 8));
            }
            ++m_nHeaderLength;
        } else if (m_byRx == esc::kEnd) {
            bool match = m_wCheck == m_wRxCheck;
            if (!match && record->pData && record->nDataSize >= kParamBlockSize) {
                m_wCheck = FallbackSum(record->pData.get(), kParamBlockSize);
                match = m_wCheck == m_wRxCheck;
            }
            Post(match ? LN_READ_DONE : LN_READ_FAILED, m_byCommand.load());
            StoreLinkState(LINK_IDLE);
        } else {
            m_dwLastRxTick.store(timerBefore);
        }
        ++m_nByteIndex;
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
    case 0: {
        if (byte != nullptr) {
            break;
        }
        m_nByteIndex = 0;
        m_bBodyQueued = false;
        Post(LN_BLOCK_START, command);
        if (command == esc::kWriteFirmware && m_pFrame) {
            m_bReportIdentity.store(true); // the ESC is identified afresh after an update
            m_nHeaderLength = 3;
            m_pFrame[0] = esc::kWriteFirmware;
        } else if (command == esc::kWriteParams && m_pFrame) {
            m_nHeaderLength = 1;
            m_pFrame[0] = esc::kWriteParams;
            const uint16_t check = Crc16(m_pFrame.get() + 3, kParamBlockSize, kWriteCheckStart);
            m_pFrame[1] = static_cast<uint8_t>(check & 0xFF);
            m_pFrame[2] = static_cast<uint8_t>(check >> 8);
        } else {
            StoreLinkState(LINK_IDLE);
            break;
        }
        m_nSubState.store(1);
        SendByte(esc::kWriteRequest);
        break;
    }
    case 1:
        if (byte == nullptr) {
            break;
        }
        if (m_byRx == esc::kGoOn) {
            if (!m_pFrame || m_nByteIndex >= m_nFrameLength) {
                m_dwLastRxTick.store(timerBefore);
                break; // the frame was dropped after a refused header byte
            }
            SendByte(m_pFrame[m_nByteIndex]);
            ++m_nByteIndex;
            if (m_nByteIndex == m_nHeaderLength) {
                m_nSubState.store(3);
            }
        } else {
            Post(LN_WRITE_FAILED, command);
            m_pFrame.reset();
            m_nFrameLength = 0;
            m_dwLastRxTick.store(timerBefore);
        }
        break;
    case 3:
        if (byte == nullptr) {
            break;
        }
        if (m_byRx == esc::kGoOn) {
            if (m_pFrame && m_nFrameLength > m_nHeaderLength &&
                SendBytes(m_pFrame.get() + m_nHeaderLength, m_nFrameLength - m_nHeaderLength)) {
                m_bBodyQueued = true;
            }
        } else if (m_byRx == esc::kEnd && !(m_bBodyQueued && m_nTxLength.load() == 0)) {
            // An acceptance before the whole frame has gone to the dongle cannot be the ESC's
            // answer to this block: a stray byte, dropped like any other.
            m_dwLastRxTick.store(timerBefore);
        } else if (m_byRx == esc::kEnd) {
            if (m_nBlocksLeft.load() == 0) {
                Post(LN_WRITE_DONE, command);
            }
            StoreLinkState(LINK_IDLE);
            m_nRetries.store(kBlockRetries);
            m_bSlowWrites.store(false);
        } else if (m_byRx == esc::kClose) {
            m_bSlowWrites.store(true);
            if (m_nRetries.load() != 0) {
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
            m_nBlocksLeft.load() == 0) {
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

bool LinkBase::StartRead(TransferRecord* record) {
    if (record == nullptr) {
        return false;
    }
    std::unique_lock<std::mutex> lock;
    if (!ClaimLink(LINK_READ, lock)) {
        // Read-done, not read-failed, is what the protocol posts here: the window must tell
        // this from a finished read by its own bookkeeping (it asked, and the hand-over was
        // refused), never by looking at a block that was not read.
        Post(LN_READ_DONE, record->byCommand);
        return false;
    }
    // Only a request that owns the link may point the worker at its record.
    m_pReadRequest.store(record);
    m_byCommand.store(record->byCommand);
    StoreLinkState(LINK_READ);
    m_nSubState.store(1);
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
        Post(LN_WRITE_FAILED, record->byCommand);
        return false;
    }
    if (epoch != kAnyEpoch && epoch != m_nEscEpoch.load()) {
        Post(LN_WRITE_FAILED, record->byCommand);
        return false;
    }
    if (data != nullptr) {
        if (!record->pData || record->nDataSize != size) {
            record->pData.reset(new (std::nothrow) uint8_t[size]);
            record->nDataSize = record->pData ? size : 0;
            if (!record->pData) {
                Post(LN_WRITE_FAILED, record->byCommand);
                return false;
            }
        }
        std::memcpy(record->pData.get(), data, size);
    }
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
