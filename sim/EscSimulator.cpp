#include "EscSimulator.h"

#include <algorithm>
#include <utility>

#include "Crc16.h"
#include "LinkTypes.h"
#include "ParamBlockFactory.h"

namespace corvane::sim {

namespace {
constexpr uint8_t kVersionTag = 0x13;
constexpr uint8_t kReadRefused = 0x00;
} // namespace

EscSimulator::EscSimulator() : m_Block(MakeRealisticParamBlock()) {}

void EscSimulator::SetSilent(bool on) {
    if (m_bSilent && !on) {
        m_State = State::Greeting; // comes back as if powered up again
        m_bTimed = false;
    }
    m_bSilent = on;
}

void EscSimulator::Restart() {
    m_State = State::Greeting;
    m_bTimed = false;
    m_Incoming.clear();
}

void EscSimulator::SetConnected(bool on) {
    if (on != m_bConnected) {
        m_State = State::Greeting;
        m_bTimed = false;
        m_Incoming.clear();
        m_Out.clear();
    }
    m_bConnected = on;
}

void EscSimulator::Verdict(uint8_t byte) {
    if (m_byStrayBeforeVerdict != 0) {
        m_Out.push_back(std::exchange(m_byStrayBeforeVerdict, uint8_t{0}));
    }
    m_Out.push_back(byte);
}

bool EscSimulator::Refuse() {
    if (m_nRefusals > 0) {
        --m_nRefusals;
        return true;
    }
    return false;
}

void EscSimulator::SendField(int field) {
    if (field == 0) {
        m_Out.insert(m_Out.end(), {esc::kModelTag, m_Identity.model, m_Identity.family});
    } else {
        m_Out.insert(m_Out.end(), {kVersionTag, m_Identity.versionLetter, m_Identity.version});
    }
    ++m_nFieldsSent;
    const int fields = std::clamp(m_Identity.fieldsAnnounced, 1, 2);
    if (m_nFieldsSent >= fields) {
        m_Out.push_back(esc::kEnd);
        m_State = State::Ready;
    } else {
        m_State = State::IdentifyField;
    }
}

void EscSimulator::SendReadReply() {
    m_Out.push_back(esc::kReadReply);
    m_Out.push_back(m_LeadByte);
    m_Out.insert(m_Out.end(), m_Block.begin(), m_Block.end());
    uint16_t check = 0;
    switch (m_ReadCheck) {
    case ReadCheck::Crc:
        check = Crc16(m_Block.data(), m_Block.size(), kReadCheckStart);
        break;
    case ReadCheck::FallbackSum:
        check = FallbackSum(m_Block.data(), m_Block.size());
        break;
    case ReadCheck::Wrong:
        check = static_cast<uint16_t>(Crc16(m_Block.data(), m_Block.size(), kReadCheckStart) ^
                                      FallbackSum(m_Block.data(), m_Block.size()) ^ 0x5A5A);
        break;
    }
    m_Out.push_back(static_cast<uint8_t>(check & 0xFF));
    m_Out.push_back(static_cast<uint8_t>(check >> 8));
    m_Out.push_back(esc::kEnd);
    ++m_nReads;
    m_State = State::Ready;
}

void EscSimulator::FinishParamFrame() {
    // m_Incoming: check low, check high, 512 data bytes.
    const uint16_t sent = static_cast<uint16_t>(m_Incoming[0] | (m_Incoming[1] << 8));
    const uint16_t check = Crc16(m_Incoming.data() + 2, 512, kWriteCheckStart);
    m_State = State::Ready;
    if (sent != check) {
        ++m_nBadFrames;
        Verdict(esc::kRefused);
        return;
    }
    if (Refuse()) {
        Verdict(esc::kRefused);
        return;
    }
    std::copy_n(m_Incoming.begin() + 2, 512, m_Block.begin());
    m_Written.push_back(m_Block);
    if (m_nCorruptOffset >= 0 && m_nCorruptOffset < static_cast<int>(m_Block.size())) {
        m_Block[static_cast<size_t>(m_nCorruptOffset)] ^= 0x01;
        m_nCorruptOffset = -1;
    }
    Verdict(esc::kAccepted);
}

void EscSimulator::FinishFirmwareBlock() {
    m_State = State::Ready;
    if (Refuse()) {
        Verdict(esc::kRefused);
        return;
    }
    m_Firmware.push_back(m_Incoming);
    Verdict(esc::kAccepted);
    if (m_nFlashBlocks > 0 && ++m_nFlashedBlocks == m_nFlashBlocks) {
        m_Identity.versionLetter = m_byFlashLetter;
        m_Identity.version = m_byFlashVersion;
        m_Block = m_FlashDefaults;
        m_nFlashedBlocks = 0;
        if (m_bRestartAfterFlash) {
            Restart(); // the acceptance still goes out first
        }
    }
}

void EscSimulator::ExpectFirmware(int blockLength, int blocks, uint8_t versionLetter,
                                  uint8_t version, const Block& defaults) {
    m_nFirmwareBlockLength = blockLength;
    m_FlashDefaults = defaults;
    m_nFlashBlocks = blocks;
    m_byFlashLetter = versionLetter;
    m_byFlashVersion = version;
    m_nFlashedBlocks = 0;
}

void EscSimulator::OnHostByte(uint8_t byte, uint32_t now) {
    if (!m_bConnected || m_bSilent) {
        return;
    }
    // A frame whose bytes stop coming is abandoned: the next byte starts afresh instead of
    // being taken as the rest of a block the host has long given up on.
    const bool midFrame = m_State == State::ParamBody || m_State == State::FirmwareHead ||
                          m_State == State::FirmwareBody || m_State == State::ReadCommand ||
                          m_State == State::WriteCommand || m_State == State::IdentifyField;
    if (midFrame && m_bTimed && now - m_nLastHeard > m_nFrameGapMs) {
        m_Incoming.clear();
        m_State = State::Ready;
    }
    m_bTimed = true;
    m_nLastHeard = now;
    switch (m_State) {
    case State::Greeting:
        // An ESC that greets with 0xF7 is answered with 0xFA; one that greets with 0x13 gets
        // 0xF7 and closes the greeting itself.
        if (m_GreetStyle == GreetStyle::GoOnF7 && byte == esc::kClose) {
            m_State = State::Ready;
        } else if (m_GreetStyle == GreetStyle::Hello13 && byte == esc::kGoOn) {
            m_Out.push_back(esc::kRefused);
            m_State = State::Ready;
        }
        break;
    case State::Ready:
        if (byte == esc::kIdentify) {
            ++m_nIdentifies;
            m_nFlashedBlocks = 0; // an update runs without identifies between its blocks
            m_nFieldsSent = 0;
            m_Out.push_back(static_cast<uint8_t>(m_Identity.fieldsAnnounced));
            SendField(0);
        } else if (byte == esc::kReadRequest) {
            if (m_bRefuseRead) {
                m_Out.push_back(kReadRefused);
            } else {
                m_Out.push_back(esc::kGoOn);
                m_State = State::ReadCommand;
            }
        } else if (byte == esc::kWriteRequest) {
            m_Out.push_back(esc::kGoOn);
            m_State = State::WriteCommand;
        }
        break;
    case State::IdentifyField:
        if (byte == esc::kGoOn) {
            SendField(m_nFieldsSent);
        } else if (byte == esc::kEnd) {
            ++m_nKeepAlives; // the host cut the reply short: a keep-alive
            m_State = State::Ready;
        }
        break;
    case State::ReadCommand:
        if (byte == esc::kReadParams) {
            SendReadReply();
        } else {
            m_State = State::Ready;
        }
        break;
    case State::WriteCommand:
        m_Incoming.clear();
        if (byte == esc::kWriteParams) {
            m_Out.push_back(esc::kGoOn);
            m_State = State::ParamBody;
        } else if (byte == esc::kWriteFirmware && m_nFirmwareBlockLength >= 3) {
            m_Out.push_back(esc::kGoOn);
            m_State = State::FirmwareHead;
        } else {
            m_State = State::Ready;
        }
        break;
    case State::ParamBody:
        m_Incoming.push_back(byte);
        if (m_Incoming.size() == 514) {
            FinishParamFrame();
        }
        break;
    case State::FirmwareHead:
        m_Incoming.push_back(byte);
        m_Out.push_back(esc::kGoOn);
        if (m_Incoming.size() == 2) {
            m_State = State::FirmwareBody;
        }
        break;
    case State::FirmwareBody:
        m_Incoming.push_back(byte);
        if (static_cast<int>(m_Incoming.size()) == m_nFirmwareBlockLength) {
            FinishFirmwareBlock();
        }
        break;
    }
}

void EscSimulator::Poll(uint32_t now, std::deque<uint8_t>& out) {
    if (!m_bConnected || m_bSilent) {
        return;
    }
    if (m_State != State::Greeting && m_bTimed && now - m_nLastHeard > m_nForgetHostMs) {
        // The host went quiet: start over as if just powered up.
        m_State = State::Greeting;
        m_bTimed = false;
    }
    if (m_State == State::Greeting && (!m_bTimed || now - m_nLastGreet >= m_nGreetIntervalMs)) {
        m_Out.push_back(m_GreetStyle == GreetStyle::Hello13 ? kVersionTag : esc::kGoOn);
        m_bTimed = true;
        m_nLastGreet = now;
        m_nLastHeard = now;
    }
    while (!m_Out.empty()) {
        out.push_back(m_Out.front());
        m_Out.pop_front();
    }
}

} // namespace corvane::sim
