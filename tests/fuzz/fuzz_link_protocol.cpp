// Arbitrary ESC byte streams against the real link engine, one worker pass at a time over a
// loopback port and a manual clock. The input is a script of small steps: ESC reports, clock
// moves, passes, user actions (read, write, load and send an upgrade file, reject the ESC,
// pull and replug the dongle) and a slow dongle. After every step the engine's state must be
// one it can be in, and every block it writes must be a frame of the data it was given. A
// block counts as written only once all of its frame has gone out, whenever an acceptance
// byte comes.
// At the end, after a long silence, the link must have come back to waiting for the ESC.
#include <array>
#include <cstring>
#include <sstream>
#include <string>

#include "BlockWireCheck.h"
#include "Crc16.h"
#include "FuzzInput.h"
#include "KVALinkCore.h"
#include "LoopbackPort.h"
#include "ManualClock.h"

namespace {

using namespace corvane;
using corvane::fuzz::BlockWireCheck;
using corvane::fuzz::ByteReader;
using corvane::fuzz::Require;

// The engine's scratch the checks need beyond its public getters.
class ProbedLink : public KVALinkCore {
public:
    using KVALinkCore::KVALinkCore;
    int TxOffset() const { return m_nTxOffset; }
};

bool IsKnownCode(uint32_t code) {
    switch (code) {
    case LN_BLOCK_START:
    case LN_DONGLE_SEARCHED:
    case LN_GREETING:
    case LN_IDENTIFIED:
    case LN_READ_DONE:
    case LN_WRITE_DONE:
    case LN_READ_FAILED:
    case LN_WRITE_FAILED:
    case LN_TIMEOUT_WAIT:
    case LN_TIMEOUT_IDENTIFY:
    case LN_TIMEOUT_READ:
    case LN_TIMEOUT_WRITE:
    case LN_BLOCK_PROGRESS:
    case LN_ESC_RESTARTED:
    case LN_LINK_LOST:
        return true;
    default:
        return false;
    }
}

// An upgrade file with a 9-, 8- or 4-byte header (or a broken one), and its payload.
struct GeneratedFile {
    std::string bytes;
    std::vector<uint8_t> payload;
    uint16_t blockLength = 0;
    bool valid = false;
};

GeneratedFile MakeUpgradeFile(uint8_t lengthPick, uint8_t countPick, uint8_t shape) {
    // The edges of the frame limits come up often; other lengths are spread below 100.
    static constexpr std::array<uint16_t, 8> kEdgeLengths = {3, 4, 62, 63, 64, 640, 641, 642};
    GeneratedFile file;
    file.blockLength =
        lengthPick < 32 ? kEdgeLengths[lengthPick % 8] : static_cast<uint16_t>(3 + lengthPick % 97);
    const int blocks = 1 + countPick % 6;
    const int kind = shape % 4;
    const uint16_t headerLength = kind == 0 ? 9 : kind == 1 ? 8 : kind == 2 ? 4 : 5;
    file.valid = kind != 3;
    file.payload.resize(static_cast<size_t>(file.blockLength) * blocks);
    uint32_t seed = shape * 2654435761u + 1;
    for (uint8_t& byte : file.payload) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(seed >> 16);
    }
    const uint8_t header[] = {static_cast<uint8_t>(file.blockLength & 0xFF),
                              static_cast<uint8_t>(file.blockLength >> 8),
                              static_cast<uint8_t>(headerLength),
                              0,
                              8,
                              50,
                              'A',
                              12,
                              static_cast<uint8_t>(blocks)};
    file.bytes.assign(reinterpret_cast<const char*>(header), headerLength);
    file.bytes.append(file.payload.begin(), file.payload.end());
    return file;
}

class Harness : public NotifySink {
public:
    Harness() {
        link.SetClock(&clock);
        link.SetNotifySink(this);
        link.Reset();
        link.BeginWorker();
        link.WantIdentity(true);
    }

    void PostLinkNotify(const LinkNotice& notice) override {
        const uint32_t code = notice.code;
        const uint32_t value = notice.value;
        Require(IsKnownCode(code));
        // A search says "opened" only of the opening it made, and while it is open.
        if (code == LN_DONGLE_SEARCHED && (value & kSearchOpened) != 0) {
            Require(notice.exchange == port.OpenSerial() && port.GetState() == PORT_OPEN);
        }
        if (code == LN_BLOCK_START) {
            OnBlockStart(value);
        }
        // The outcome the worker reports names the transfer whose block it just ran.
        if (m_bInPass && (code == LN_WRITE_DONE || code == LN_WRITE_FAILED)) {
            Require(m_nLastBlockCommand >= 0 &&
                    value == static_cast<uint32_t>(m_nLastBlockCommand));
        }
        if (code == LN_WRITE_DONE) {
            // The request byte and the whole frame are on the wire, nothing of it pending.
            Require(link.GetTxLength() == 0 &&
                    port.wire.size() >= m_nBlockStart + 1 + m_nLastFrameLength);
        }
    }

    void Run(ByteReader& in) {
        while (!in.Empty()) {
            Step(in);
        }
        FinalSilence();
    }

private:
    void Step(ByteReader& in) {
        switch (in.Next() % 9) {
        case 0:
        case 1:
            port.Feed(in.Take(in.Next() % 64));
            Pass(1);
            break;
        case 8:
            port.Feed({esc::kAccepted}); // a stray acceptance, wherever the write stands
            Pass(1);
            break;
        case 2:
            port.Feed(in.Take(in.Next() % 64)); // another report waits behind it
            break;
        case 3: {
            static constexpr std::array<uint32_t, 4> kSteps = {0, 1, 50, 260};
            const uint8_t b = in.Next();
            for (int i = 0; i <= (b & 15); ++i) {
                Pass(kSteps[(b >> 4) & 3]);
            }
            break;
        }
        case 4:
            clock.Advance(in.Next() * 8u);
            AfterStep();
            break;
        case 5: {
            // Just short of the tick counter's wrap (or right on it).
            const uint32_t target = 0u - in.Next() * 4u;
            clock.Advance(target - clock.Now());
            AfterStep();
            break;
        }
        case 6:
            port.SetWriteRoom(in.Next() % 63);
            break;
        case 7:
            UserAction(in);
            AfterStep();
            break;
        }
    }

    void UserAction(ByteReader& in) {
        switch (in.Next() % 8) {
        case 0:
            link.ReadParameters();
            break;
        case 1:
            WriteParameters(in.Next());
            break;
        case 2:
            LoadFile(in);
            break;
        case 3:
            link.StartFirmwareUpdate(&link.m_FirmwareRecord);
            break;
        case 4:
            link.RejectEsc(); // the ESC's family was rejected
            break;
        case 5:
            port.Remove();
            break;
        case 6:
            // A hot-plug notice: noted only on a closed port, and the worker searches.
            port.NoteSearch();
            break;
        case 7:
            link.WantIdentity((in.Next() & 1) != 0);
            break;
        }
    }

    // The window stores its pages into the block in place, and never while a transfer takes
    // from it or a read replaces it.
    void WriteParameters(uint8_t seed) {
        TransferRecord& record = link.m_EscRecord;
        if (!link.IsTransferBusy(&record) && link.GetLinkState() != LINK_READ) {
            if (!record.pData || record.nDataSize < kParamBlockSize) {
                record.pData.reset(new uint8_t[kParamBlockSize]);
                record.nDataSize = kParamBlockSize;
            }
            for (int i = 0; i < kParamBlockSize; ++i) {
                record.pData[i] = static_cast<uint8_t>(seed + i * 37);
            }
        }
        link.WriteParameters();
    }

    void LoadFile(ByteReader& in) {
        const uint8_t lengthPick = in.Next();
        const uint8_t countPick = in.Next();
        GeneratedFile file = MakeUpgradeFile(lengthPick, countPick, in.Next());
        const bool busy = link.IsTransferBusy(&link.m_FirmwareRecord);
        std::istringstream stream(file.bytes);
        const bool loaded = link.LoadUpgradeFile(stream);
        const TransferRecord& record = link.m_FirmwareRecord;
        Require(loaded == (file.valid && !busy));
        if (loaded) {
            Require(record.nDataSize == file.payload.size() &&
                    std::memcmp(record.pData.get(), file.payload.data(), file.payload.size()) == 0);
            m_Payload = std::move(file.payload);
            m_wBlockLength = file.blockLength;
        } else if (!busy) {
            Require(record.pData == nullptr);
            m_Payload.clear();
        }
    }

    void OnBlockStart(uint32_t command) {
        // Blocks are framed only once everything before them has gone out.
        Require(link.GetTxLength() == 0);
        m_nLastBlockCommand = static_cast<int>(command);
        m_nBlockStart = port.wire.size();
        m_nLastFrameLength = command == esc::kWriteParams ? kParamFrameSize : m_wBlockLength + 1u;
        std::vector<BlockWireCheck::Frame> frames;
        int header = 0;
        if (command == esc::kWriteFirmware) {
            header = 3;
            for (size_t at = 0; at + m_wBlockLength <= m_Payload.size(); at += m_wBlockLength) {
                BlockWireCheck::Frame frame{esc::kWriteFirmware};
                frame.insert(frame.end(), m_Payload.begin() + at,
                             m_Payload.begin() + at + m_wBlockLength);
                frames.push_back(std::move(frame));
            }
        } else if (command == esc::kWriteParams) {
            header = 1;
            const TransferRecord& record = link.m_EscRecord;
            if (record.pData && record.nDataSize >= kParamBlockSize) {
                const uint16_t check = Crc16(record.pData.get(), kParamBlockSize, kWriteCheckStart);
                BlockWireCheck::Frame frame{esc::kWriteParams, static_cast<uint8_t>(check & 0xFF),
                                            static_cast<uint8_t>(check >> 8)};
                frame.insert(frame.end(), record.pData.get(), record.pData.get() + kParamBlockSize);
                frames.push_back(std::move(frame));
            }
        }
        // Any other command frames nothing, so the block may not write a single byte.
        m_Blocks.Begin(port.wire.size(), header, std::move(frames));
    }

    void Pass(uint32_t stepMs) {
        m_bInPass = true;
        link.RunPass();
        m_bInPass = false;
        clock.Advance(stepMs);
        AfterStep();
    }

    void AfterStep() {
        const int state = link.GetLinkState();
        Require(state >= LINK_DOWN && state <= LINK_KEEPALIVE);
        const corvane::Step step = link.GetStep();
        Require(LinkStateOf(step) == state && PlaceOf(step) <= 3);
        const int txLength = link.GetTxLength();
        Require(txLength >= 0 && txLength <= kTxBufferSize);
        Require(link.TxOffset() >= 0 && link.TxOffset() + txLength <= kTxBufferSize);
        const int blocksLeft = link.GetBlocksLeft();
        Require(blocksLeft >= 0 && blocksLeft <= 255);
        Require(link.GetRetries() >= 0 && link.GetRetries() <= kBlockRetries);

        const size_t produced = port.wire.size() + static_cast<size_t>(txLength);
        if (produced < m_nProduced) {
            m_Blocks.Drop(port.wire.size());
        }
        if (state != LINK_WRITE) {
            m_Blocks.End(produced);
        }
        m_nProduced = produced;
        m_Blocks.Check(port.wire);
    }

    // Long enough for anything pending to go out and any exchange to time out.
    void FinalSilence() {
        port.Silence();
        port.SetWriteRoom(62);
        for (int i = 0; i < 40; ++i) {
            Pass(kByteTimeoutMs + 1);
        }
        // A write handed over just before the window rejected the ESC keeps its blocks until a
        // timeout; the link itself must be back to waiting, with nothing left to send.
        const int state = link.GetLinkState();
        if (port.GetState() == PORT_CLOSED) {
            Require(state == LINK_DOWN);
        } else {
            Require(state == LINK_WAIT_ESC || state == LINK_IDLE);
            Require(link.GetTxLength() == 0);
        }
    }

    test::ManualClock clock;
    fuzz::LoopbackPort port;
    ProbedLink link{&port};
    BlockWireCheck m_Blocks;
    std::vector<uint8_t> m_Payload; // of the last file loaded
    uint16_t m_wBlockLength = 0;
    bool m_bInPass = false;
    int m_nLastBlockCommand = -1;
    size_t m_nBlockStart = 0;
    size_t m_nLastFrameLength = 0;
    size_t m_nProduced = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    Harness harness;
    harness.Run(in);
    return 0;
}
