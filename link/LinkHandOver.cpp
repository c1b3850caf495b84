// The hand-over of the window's requests to the worker: reads, block writes, and the
// rejection of an ESC. Each takes m_StateLock; none does port I/O.
#include <cstring>
#include <new>

#include "LinkBase.h"

namespace corvane {

void LinkBase::RejectEsc() {
    std::lock_guard<std::mutex> lock(m_StateLock);
    StartOver(Over::Rejection);
}

bool LinkBase::ClaimLink(int alsoFrom, std::unique_lock<std::mutex>& lock) {
    uint32_t start = Now();
    for (;;) {
        lock = std::unique_lock<std::mutex>(m_StateLock);
        const int state = GetLinkState();
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
    GoTo(Step::ReadStart);
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
    m_bCancel.store(false); // a cancel meant for an earlier transfer
    // Not before the link is ours: a write still in flight reads its record through this.
    m_pWriteRequest.store(record);
    m_nRetries.store(kBlockRetries);
    m_nBlocksLeft.store(record->byBlockCount);
    m_pNextBlock.store(record->pData.get());
    m_byCommand.store(record->byCommand);
    GoTo(Step::Idle);
    return true;
}

} // namespace corvane
