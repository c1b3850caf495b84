// The guards and actions of the exchanges' table (LinkTable.cpp). They run with m_StateLock
// held; the byte being fed is m_byRx. An action does one job; the table moves the step.
#include <cstring>
#include <new>

#include "Crc16.h"
#include "LinkBase.h"

namespace corvane {

// Guards.

bool LinkBase::PastLastField() const {
    return m_Identify.complete;
}

bool LinkBase::AnotherIdentity() const {
    return m_Identify.complete && !ReplyIsKnownIdentity();
}

bool LinkBase::AnotherFieldCount() const {
    return m_Identify.count == 0 && m_byRx != m_Known.count;
}

bool LinkBase::CountDue() const {
    return m_Identify.count == 0;
}

bool LinkBase::LastOfField() const {
    return m_Identify.fill + 1 >= m_Identify.fieldLength;
}

bool LinkBase::LastOfFieldMoreDue() const {
    return LastOfField() && m_Identify.received != m_Identify.count;
}

bool LinkBase::LeadByteDue() const {
    return m_Read.byteIndex == 0;
}

bool LinkBase::BlockByteDue() const {
    return m_Read.byteIndex <= m_Read.replyLength;
}

bool LinkBase::CheckByteDue() const {
    return m_Read.checkBytes < 2;
}

bool LinkBase::FrameReady() const {
    const uint8_t command = m_byCommand.load();
    return m_pFrame && (command == esc::kWriteFirmware || command == esc::kWriteParams);
}

bool LinkBase::HeaderByteDue() const {
    return m_pFrame && m_Write.byteIndex < m_nFrameLength;
}

bool LinkBase::LastHeaderByteDue() const {
    return HeaderByteDue() && m_Write.byteIndex + 1 == m_Write.headerLength;
}

bool LinkBase::BodyQueued() const {
    return m_Write.bodyQueued;
}

bool LinkBase::BodyGone() const {
    return m_Write.bodyQueued && m_nTxLength.load() == 0;
}

bool LinkBase::VerdictInDoubt() const {
    return m_Write.inDoubt;
}

bool LinkBase::RetriesLeft() const {
    return m_nRetries.load() != 0;
}

bool LinkBase::ReplyIsKnownIdentity() const {
    return m_Identify.count == m_Known.count && m_Identify.received == m_Identify.count &&
           std::memcmp(m_Identify.model, m_Known.model, sizeof m_Known.model) == 0 &&
           std::memcmp(m_Identify.version, m_Known.version, sizeof m_Known.version) == 0;
}

// Greeting.

void LinkBase::AnswerGoOn() {
    SendByte(esc::kClose);
}

void LinkBase::AnswerGreeting() {
    SendByte(esc::kGoOn);
}

void LinkBase::PostGreeting() {
    Post(LN_GREETING, 0);
}

// Identify and keep-alive.

void LinkBase::RequestIdentity() {
    m_Identify = {};
    m_Identify.received = 1;
    SendByte(esc::kIdentify);
}

void LinkBase::TakeFieldCount() {
    m_Identify.count = m_byRx;
}

void LinkBase::BeginField() {
    m_Identify.field = m_byRx == esc::kModelTag ? m_Identify.model : m_Identify.version;
    m_Identify.field[0] = m_byRx;
    m_Identify.fill = 1;
    m_Identify.fieldLength = 3;
}

void LinkBase::StoreFieldByte() {
    if (m_Identify.field != nullptr && m_Identify.fill < m_Identify.fieldLength) {
        m_Identify.field[m_Identify.fill] = m_byRx;
    }
    ++m_Identify.fill;
}

void LinkBase::AskNextField() {
    StoreFieldByte();
    ++m_Identify.received;
    SendByte(esc::kGoOn);
}

void LinkBase::StoreLastField() {
    StoreFieldByte();
    m_Identify.complete = true;
}

void LinkBase::TakeIdentity() {
    m_Known.count = m_Identify.count;
    std::memcpy(m_Known.model, m_Identify.model, sizeof m_Known.model);
    std::memcpy(m_Known.version, m_Identify.version, sizeof m_Known.version);
    m_bIdentifyNeeded.store(false);
    m_pPort->MarkEscReady();
    OnIdentified();
}

void LinkBase::EscRestarted() {
    const uint8_t byte = m_byRx;
    StartOver(Over::EscRestarted);
    if (byte == esc::kGreeting || byte == esc::kGoOn) {
        Feed(&byte); // answered at once
    } else {
        GoTo(Step::Idle); // noise: identified afresh on the next quiet pass
    }
}

// Parameter read.

void LinkBase::RequestRead() {
    m_Read = {};
    m_Read.check = kReadCheckStart;
    SendByte(esc::kReadRequest);
}

void LinkBase::SendReadCommand() {
    SendByte(m_byCommand.load());
}

void LinkBase::RefuseRead() {
    Post(LN_READ_FAILED, m_byCommand.load() | kReadGoesOn);
}

void LinkBase::TakeLeadByte() {
    // The block arrives next, into a fresh buffer.
    TransferRecord* record = m_pReadRequest.load();
    m_Read.replyLength = kParamBlockSize;
    m_Read.target = nullptr;
    ++m_Read.byteIndex;
    if (record == nullptr) {
        return;
    }
    record->wBlockLength = kParamBlockSize;
    const size_t size = static_cast<size_t>(record->byBlockCount) * kParamBlockSize;
    record->pData.reset();
    record->nDataSize = 0;
    if (size > 0) {
        record->pData.reset(new (std::nothrow) uint8_t[size]());
        record->nDataSize = record->pData ? static_cast<uint32_t>(size) : 0;
    }
    m_Read.target = record->pData.get();
    m_Read.end = m_Read.target != nullptr ? m_Read.target + record->nDataSize : nullptr;
}

void LinkBase::StoreBlockByte() {
    Crc16Update(&m_Read.check, m_byRx);
    if (m_Read.target != nullptr && m_Read.target < m_Read.end) {
        *m_Read.target++ = m_byRx;
    }
    ++m_Read.byteIndex;
}

void LinkBase::StoreCheckByte() {
    m_Read.rxCheck =
        m_Read.checkBytes == 0 ? m_byRx : static_cast<uint16_t>(m_Read.rxCheck | (m_byRx << 8));
    ++m_Read.checkBytes;
}

void LinkBase::JudgeRead() {
    const TransferRecord* record = m_pReadRequest.load();
    bool match = m_Read.check == m_Read.rxCheck;
    if (!match && record != nullptr && record->pData && record->nDataSize >= kParamBlockSize) {
        m_Read.check = FallbackSum(record->pData.get(), kParamBlockSize);
        match = m_Read.check == m_Read.rxCheck;
    }
    LinkNotice notice{match ? LN_READ_DONE : LN_READ_FAILED, m_byCommand.load()};
    if (match && record != nullptr) {
        // The window takes the block from the notice, never from the record the next read
        // replaces.
        notice.block.assign(record->pData.get(), record->pData.get() + record->nDataSize);
        notice.blockLength = record->wBlockLength;
        notice.blockCount = record->byBlockCount;
    }
    Post(std::move(notice));
}

// Block write.

void LinkBase::RequestWrite() {
    // The command the write was handed over with: the window may reuse the record meanwhile.
    const uint8_t command = m_byCommand.load();
    m_Write = {};
    Post(LN_BLOCK_START, command);
    m_pFrame[0] = command;
    if (command == esc::kWriteFirmware) {
        m_bReportIdentity.store(true); // the ESC is identified afresh after an update
        m_Write.headerLength = 3;
    } else {
        m_Write.headerLength = 1;
        const uint16_t check = Crc16(m_pFrame.get() + 3, kParamBlockSize, kWriteCheckStart);
        m_pFrame[1] = static_cast<uint8_t>(check & 0xFF);
        m_pFrame[2] = static_cast<uint8_t>(check >> 8);
    }
    SendByte(esc::kWriteRequest);
}

void LinkBase::DropUnframedBlock() {
    Post(LN_BLOCK_START, m_byCommand.load());
}

void LinkBase::ConfirmPreviousBlock() {
    m_Watch = {};
}

void LinkBase::SendHeaderByte() {
    ConfirmPreviousBlock();
    SendByte(m_pFrame[m_Write.byteIndex]);
    ++m_Write.byteIndex;
}

void LinkBase::FailHeader() {
    Post(LN_WRITE_FAILED, m_byCommand.load());
    m_pFrame.reset();
    m_nFrameLength = 0;
}

void LinkBase::SendBody() {
    if (m_pFrame && m_nFrameLength > m_Write.headerLength &&
        SendBytes(m_pFrame.get() + m_Write.headerLength, m_nFrameLength - m_Write.headerLength)) {
        m_Write.bodyQueued = true;
    }
}

void LinkBase::DoubtVerdict() {
    m_Write.inDoubt = true;
}

void LinkBase::AcceptBlock() {
    // Done only once the ESC has stayed quiet after it (see AcceptanceWatch).
    m_Watch = {true, m_nBlocksLeft.load() == 0, m_byCommand.load(), Now()};
    m_nRetries.store(kBlockRetries);
    m_bSlowWrites.store(false);
}

void LinkBase::RequeueBlock() {
    const uint8_t command = m_byCommand.load();
    const TransferRecord* record = m_pWriteRequest.load();
    m_bSlowWrites.store(true);
    // Sent again only if nothing contradicts the refusal before the ESC answers the request.
    m_Watch = {true, false, command, Now()};
    const int length =
        command == esc::kWriteParams ? kParamBlockSize : (record ? record->wBlockLength : 0);
    m_pNextBlock.store(m_pNextBlock.load() - length);
    m_nBlocksLeft.store(m_nBlocksLeft.load() + 1);
    m_nRetries.store(m_nRetries.load() - 1);
}

void LinkBase::FailBlock() {
    m_bSlowWrites.store(true);
    m_nBlocksLeft.store(0);
    Post(LN_WRITE_FAILED, m_byCommand.load());
}

} // namespace corvane
