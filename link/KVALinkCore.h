// The link the main window owns: the engine plus the ESC's record (identity and parameter
// block) and the loaded upgrade file.
#pragma once

#include <istream>

#include "EscIdentity.h"
#include "LinkBase.h"
#include "TransferRecord.h"

namespace corvane {

class KVALinkCore : public LinkBase {
public:
    // The port is not owned: the dongle on a real machine, the simulator elsewhere.
    explicit KVALinkCore(PortBase* port);
    ~KVALinkCore() override;

    bool ReadParameters(uint32_t* exchange = nullptr);
    // Writes the ESC record's own block.
    bool WriteParameters();
    // Writes a copy of `block` (size bytes): it is copied into the ESC record once the link
    // is claimed, so the caller may go on changing its own block at once, and never shares
    // a buffer with the worker. Only to the ESC connection `epoch`; every refusal posts 16.
    bool WriteParameters(const uint8_t* block, uint32_t size, uint32_t epoch);
    // The identity of the last reported identify, read whole (the worker writes it).
    EscIdentity Identity();

    // Loads an upgrade file from a stream opened by the caller. Refused while a firmware
    // transfer is still taking blocks from the loaded payload.
    bool LoadUpgradeFile(std::istream& file);
    bool StartFirmwareUpdate(TransferRecord* record, uint32_t epoch = kAnyEpoch);
    // Whether the worker may still read from this record's data.
    bool IsTransferBusy(const TransferRecord* record);
    bool FirmwareTransferBusy() { return IsTransferBusy(&m_FirmwareRecord); }
    bool ParameterWriteBusy() { return IsTransferBusy(&m_EscRecord); }
    // Loads the upgrade file `file` (a copy of it) and starts sending it to the ESC
    // connection `epoch`: refused while a transfer still takes blocks from the last one.
    bool StartFirmwareUpdate(const TransferRecord& file, uint32_t epoch);

    TransferRecord m_EscRecord;
    TransferRecord m_FirmwareRecord;

    PortBase* GetPort() const { return m_pPort; }

protected:
    void OnIdentified() override;

private:
    uint32_t m_nIdentityEpoch = 0; // under m_StateLock
};

} // namespace corvane
