#include "KVALinkCore.h"

#include <cstring>
#include <new>

#include "UpgradeFile.h"

namespace corvane {

KVALinkCore::KVALinkCore(PortBase* port) {
    m_pPort = port;
    m_pWriteRequest.store(&m_EscRecord);
    m_pReadRequest.store(&m_EscRecord);
    m_EscRecord.byBlockCount = 1;
}

KVALinkCore::~KVALinkCore() {
    // The worker reads the records; it must be gone before they are.
    Run(false);
}

void KVALinkCore::OnIdentified() {
    if (!m_bReportIdentity.load()) {
        return;
    }
    m_EscRecord.byModel = m_Identify.model[1];
    m_EscRecord.byFamily = m_Identify.model[2];
    m_EscRecord.byVersionLetter = m_Identify.version[1];
    m_EscRecord.byVersion = m_Identify.version[2];
    NextEscEpoch();
    m_nIdentityEpoch = m_nEscEpoch.load();
    LinkNotice notice{LN_IDENTIFIED, 0};
    notice.identity = {m_EscRecord.byModel, m_EscRecord.byFamily, m_EscRecord.byVersionLetter,
                       m_EscRecord.byVersion, m_nIdentityEpoch};
    Post(std::move(notice));
}

bool KVALinkCore::ReadParameters(uint32_t* exchange) {
    m_EscRecord.byCommand = esc::kReadParams;
    return StartRead(&m_EscRecord, exchange);
}

bool KVALinkCore::WriteParameters() {
    if (IsTransferBusy(&m_EscRecord)) {
        return false;
    }
    m_EscRecord.byCommand = esc::kWriteParams;
    return StartWrite(&m_EscRecord);
}

bool KVALinkCore::WriteParameters(const uint8_t* block, uint32_t size, uint32_t epoch) {
    if (block == nullptr || size == 0 || IsTransferBusy(&m_EscRecord)) {
        PostRefusal(LN_WRITE_FAILED, esc::kWriteParams);
        return false;
    }
    m_EscRecord.byCommand = esc::kWriteParams;
    return StartWrite(&m_EscRecord, block, size, epoch);
}

EscIdentity KVALinkCore::Identity() {
    std::lock_guard<std::mutex> lock(m_StateLock);
    return {m_EscRecord.byModel, m_EscRecord.byFamily, m_EscRecord.byVersionLetter,
            m_EscRecord.byVersion, m_nIdentityEpoch};
}

bool KVALinkCore::IsTransferBusy(const TransferRecord* record) {
    std::lock_guard<std::mutex> lock(m_StateLock);
    if (m_pWriteRequest.load() != record) {
        return false;
    }
    const int state = GetLinkState();
    return m_nBlocksLeft.load() != 0 || state == LINK_WRITE;
}

bool KVALinkCore::LoadUpgradeFile(std::istream& file) {
    if (!file || IsTransferBusy(&m_FirmwareRecord)) {
        return false;
    }
    file.clear();
    file.seekg(0, std::ios::end);
    const std::streamoff end = file.tellg();
    file.seekg(0, std::ios::beg);
    if (end <= 0 || end >= (std::streamoff{1} << 32) || !file) {
        return false;
    }
    if (ParseUpgradeFile(file, static_cast<uint64_t>(end), m_FirmwareRecord) == 0) {
        m_FirmwareRecord.pData.reset();
        m_FirmwareRecord.nDataSize = 0;
        return false;
    }
    m_FirmwareRecord.byCommand = esc::kFirmwareLoaded;
    // A parameter write still in flight keeps the worker's record; the firmware transfer
    // points the worker here itself once it has claimed the link.
    if (!IsTransferBusy(m_pWriteRequest.load())) {
        m_pWriteRequest.store(&m_FirmwareRecord);
    }
    return true;
}

bool KVALinkCore::StartFirmwareUpdate(const TransferRecord& file, uint32_t epoch) {
    if (!file.pData || file.nDataSize == 0 || IsTransferBusy(&m_FirmwareRecord)) {
        return false;
    }
    m_FirmwareRecord.pData.reset(new (std::nothrow) uint8_t[file.nDataSize]);
    if (!m_FirmwareRecord.pData) {
        m_FirmwareRecord.nDataSize = 0;
        return false;
    }
    std::memcpy(m_FirmwareRecord.pData.get(), file.pData.get(), file.nDataSize);
    m_FirmwareRecord.nDataSize = file.nDataSize;
    m_FirmwareRecord.byModel = file.byModel;
    m_FirmwareRecord.byFamily = file.byFamily;
    m_FirmwareRecord.byVersionLetter = file.byVersionLetter;
    m_FirmwareRecord.byVersion = file.byVersion;
    m_FirmwareRecord.byBlockCount = file.byBlockCount;
    m_FirmwareRecord.wBlockLength = file.wBlockLength;
    return StartFirmwareUpdate(&m_FirmwareRecord, epoch);
}

bool KVALinkCore::StartFirmwareUpdate(TransferRecord* record, uint32_t epoch) {
    if (record == nullptr || IsTransferBusy(record)) {
        return false;
    }
    record->byCommand = esc::kWriteFirmware;
    return StartWrite(record, nullptr, 0, epoch);
}

} // namespace corvane
