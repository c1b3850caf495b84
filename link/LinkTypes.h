// Constants shared by the link engine, the port and the main window: link and port
// states, notification codes, protocol bytes and time limits.
#pragma once

#include <cstdint>

namespace corvane {

// Link states (the high half of the link's Step).
enum : int {
    LINK_DOWN = 0,
    LINK_IDLE = 1,
    LINK_WAIT_ESC = 2,
    LINK_IDENTIFY = 3,
    LINK_READ = 4,
    LINK_WRITE = 5,
    LINK_KEEPALIVE = 6,
};

// Port states (PortBase::m_nState).
enum : int {
    PORT_CLOSED = 0,
    PORT_OPEN = 2,
    PORT_ESC_READY = 4,
};

// Notification codes posted by the worker (value is the notification's lParam).
enum : uint32_t {
    LN_BLOCK_START = 8,
    LN_GREETING = 9,
    LN_IDENTIFIED = 10,
    LN_READ_DONE = 11,
    LN_WRITE_DONE = 12,
    LN_READ_FAILED = 15,
    LN_WRITE_FAILED = 16,
    LN_TIMEOUT_WAIT = 17,
    LN_TIMEOUT_IDENTIFY = 18,
    LN_TIMEOUT_READ = 19,
    LN_TIMEOUT_WRITE = 20,
    LN_BLOCK_PROGRESS = 21,
    // The keep-alive was not answered by the identity on record (a greeting, another count,
    // another identity, or noise): the ESC restarted or was swapped, and is greeted (when it
    // greets) and identified afresh.
    LN_ESC_RESTARTED = 22,
    // A search was made: the worker's first, or one the window noted (PortBase::NoteArrival,
    // NoteSearch). The value holds the kSearch flags below and the search's tag above them;
    // the notice's exchange is the opening it made (PortBase::OpenSerial), or 0.
    LN_DONGLE_SEARCHED = 23,
    LN_LINK_LOST = 255,
};

// What came of a search, in LN_DONGLE_SEARCHED's value.
constexpr uint32_t kSearchOpened = 1;
constexpr uint32_t kSearchWholeWalk = 2; // a walk over every device, not an arrival's
constexpr uint32_t kSearchDenied = 4;    // the dongle's node refused us (PortBase::AccessDenied)
constexpr uint32_t kSearchInUse = 8;     // another program holds the dongle (DongleInUse)
constexpr int kSearchTagShift = 4;

// Set in LN_READ_FAILED's value (beside the command) when the read goes on: a byte out of
// place before the reply. Without it the read has ended, failed.
constexpr uint32_t kReadGoesOn = 0x100;

// Bytes of the ESC conversation. One byte may carry several meanings; each meaning has its
// own name, so a reader of the exchanges knows which one is meant.
namespace esc {
constexpr uint8_t kGreeting = 0x13;   // the ESC's greeting while the tool waits for it
constexpr uint8_t kVersionTag = 0x13; // the tag of the version field of an identify reply
constexpr uint8_t kGoOn = 0xF7;
constexpr uint8_t kClose = 0xFA;    // the close of a greeting, either side's
constexpr uint8_t kRefused = 0xFA;  // the ESC's refusal of a written block
constexpr uint8_t kEnd = 0xF1;      // the end of an identify or read reply
constexpr uint8_t kAccepted = 0xF1; // the ESC's acceptance of a written block
constexpr uint8_t kIdentify = 0x27;
constexpr uint8_t kModelTag = 0x11;
constexpr uint8_t kReadRequest = 0x86;
constexpr uint8_t kReadParams = 0x82;
constexpr uint8_t kReadReply = 0x65;
constexpr uint8_t kWriteRequest = 0x62;
constexpr uint8_t kWriteParams = 0xA1;
constexpr uint8_t kWriteFirmware = 0x81;
constexpr uint8_t kFirmwareLoaded = 0x93;
} // namespace esc

// Sizes and time limits of the link.
constexpr int kTxBufferSize = 640;
constexpr int kRxBufferSize = 1024;
constexpr int kParamBlockSize = 512;
constexpr int kParamFrameSize = 515;
constexpr uint32_t kReadWaitMs = 50;
constexpr uint32_t kWriteWaitMs = 150;
constexpr uint32_t kKeepAliveQuietMs = 500;
constexpr uint32_t kByteTimeoutMs = 1000;
// How long the ESC must stay quiet after accepting a transfer's last block before the
// transfer counts as done; and how long queued bytes may wait for the dongle.
constexpr uint32_t kLastBlockWatchMs = 100;
constexpr uint32_t kTxStallMs = 1000;
constexpr uint32_t kHandOverWaitMs = 500;
constexpr uint32_t kHandOverStepMs = 10;
constexpr int kBlockRetries = 3;

// USB identity of the dongle.
constexpr uint16_t kDongleVendorId = 0x10C4;
constexpr uint16_t kDongleProductId = 0x82FC;

} // namespace corvane
