// The ESC's side of the conversation, as a byte machine: host bytes in, ESC bytes out.
// It greets until answered, identifies itself, serves its 512-byte parameter block, checks
// and stores written parameter blocks and firmware blocks, and can misbehave on request
// (refusals, silence, wrong checks, a stray byte, being unplugged).
//
// Not thread-safe on its own: SimPort serialises every call.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

#include "ParamBlockFactory.h"

namespace corvane::sim {

enum class ReadCheck { Crc, FallbackSum, Wrong };
enum class GreetStyle { Hello13, GoOnF7 };

struct EscIdentity {
    uint8_t model = 8;
    uint8_t family = 50;
    uint8_t versionLetter = 'A';
    uint8_t version = 12; // version x 10
    int fieldsAnnounced = 2;
};

class EscSimulator {
public:
    using Block = std::array<uint8_t, 512>;

    EscSimulator();

    // The host's bytes, in order, as the dongle hands them to the ESC.
    void OnHostByte(uint8_t byte, uint32_t now);
    // Lets time pass (greetings, forgetting a silent host) and moves the ESC's pending bytes
    // to out.
    void Poll(uint32_t now, std::deque<uint8_t>& out);

    // Knobs.
    void SetIdentity(const EscIdentity& identity) { m_Identity = identity; }
    const EscIdentity& Identity() const { return m_Identity; }
    void SetParamBlock(const Block& block) { m_Block = block; }
    const Block& ParamBlock() const { return m_Block; }
    void SetReadCheck(ReadCheck mode) { m_ReadCheck = mode; }
    void SetGreetStyle(GreetStyle style) { m_GreetStyle = style; }
    void SetLeadByte(uint8_t byte) { m_LeadByte = byte; }
    // Refuse the next n written blocks (parameter or firmware) with 0xFA.
    void RefuseNextBlocks(int n) { m_nRefusals = n; }
    // Accept the next parameter block but store another byte than the one sent at offset
    // (a flash cell that did not take its value); -1: store faithfully.
    void CorruptNextStore(int offset) { m_nCorruptOffset = offset; }
    // Answer the read request with a refusal byte instead of going on.
    void SetRefuseRead(bool on) { m_bRefuseRead = on; }
    // A silent ESC neither hears nor speaks; when it speaks again it greets afresh.
    void SetSilent(bool on);
    bool IsSilent() const { return m_bSilent; }
    // Unplugged from the dongle: forgets the conversation; plugged in again, it greets.
    void SetConnected(bool on);
    bool IsConnected() const { return m_bConnected; }
    // Puts one stray byte into the ESC's output.
    void InjectByte(uint8_t byte) { m_Out.push_back(byte); }
    // Puts a stray byte right ahead of the ESC's verdict on the next block it is sent (a stray
    // acceptance before a refusal, say); 0: none.
    void SetStrayBeforeVerdict(uint8_t byte) { m_byStrayBeforeVerdict = byte; }
    // Bytes per firmware block the ESC expects (set from the upgrade file being sent).
    void SetFirmwareBlockLength(int length) { m_nFirmwareBlockLength = length; }
    // The upgrade about to be sent, as its file describes it: once `blocks` blocks have been
    // taken since the ESC was last identified, it runs the new firmware, reporting its version
    // letter and version (x 10), with its default parameters.
    void ExpectFirmware(int blockLength, int blocks, uint8_t versionLetter, uint8_t version,
                        const Block& defaults = MakeRealisticParamBlock());
    void SetGreetInterval(uint32_t ms) { m_nGreetIntervalMs = ms; }
    // Restarts as after a brown-out: forgets the conversation and greets at once.
    void Restart();
    // Restarts once a flash has been taken whole, as a real ESC boots its new firmware.
    void SetRestartAfterFlash(bool on) { m_bRestartAfterFlash = on; }

    // What arrived.
    const std::vector<Block>& WrittenBlocks() const { return m_Written; }
    const std::vector<std::vector<uint8_t>>& FirmwareBlocks() const { return m_Firmware; }
    int RejectedParamFrames() const { return m_nBadFrames; }
    int IdentifyCount() const { return m_nIdentifies; }
    int KeepAliveCount() const { return m_nKeepAlives; }
    int ReadCount() const { return m_nReads; }
    bool IsGreeted() const { return m_State != State::Greeting; }

private:
    enum class State {
        Greeting,      // greets every interval until answered
        Ready,         // waits for a request
        IdentifyField, // sent a field, waits for 0xF7 (more) or 0xF1 (cut)
        ReadCommand,   // waits for the read command byte
        WriteCommand,  // waits for the write command byte
        ParamBody,     // collects check and block of a parameter frame
        FirmwareHead,  // collects the two singly acknowledged bytes of a firmware block
        FirmwareBody,  // collects the rest of a firmware block
    };

    void SendField(int field);
    void SendReadReply();
    void FinishParamFrame();
    void FinishFirmwareBlock();
    bool Refuse();
    // Sends the ESC's verdict on a block, behind a stray byte if one is due.
    void Verdict(uint8_t byte);

    EscIdentity m_Identity;
    Block m_Block{};
    ReadCheck m_ReadCheck = ReadCheck::Crc;
    GreetStyle m_GreetStyle = GreetStyle::Hello13;
    uint8_t m_LeadByte = 0x00;
    int m_nRefusals = 0;
    int m_nCorruptOffset = -1;
    bool m_bRefuseRead = false;
    bool m_bSilent = false;
    bool m_bConnected = true;
    int m_nFirmwareBlockLength = 0;
    // The expected upgrade (0 blocks: none) and the blocks taken of it so far.
    int m_nFlashBlocks = 0;
    uint8_t m_byFlashLetter = 0;
    uint8_t m_byFlashVersion = 0;
    Block m_FlashDefaults{};
    int m_nFlashedBlocks = 0;
    bool m_bRestartAfterFlash = false;
    uint8_t m_byStrayBeforeVerdict = 0;
    uint32_t m_nGreetIntervalMs = 200;
    uint32_t m_nForgetHostMs = 1500;
    uint32_t m_nFrameGapMs = 300;

    State m_State = State::Greeting;
    bool m_bTimed = false; // m_nLastHeard/m_nLastGreet hold a time
    uint32_t m_nLastHeard = 0;
    uint32_t m_nLastGreet = 0;
    int m_nFieldsSent = 0;
    std::vector<uint8_t> m_Incoming;
    std::deque<uint8_t> m_Out;

    std::vector<Block> m_Written;
    std::vector<std::vector<uint8_t>> m_Firmware;
    int m_nBadFrames = 0;
    int m_nIdentifies = 0;
    int m_nKeepAlives = 0;
    int m_nReads = 0;
};

} // namespace corvane::sim
