#include "ParameterWrite.h"

#include <utility>

#include "ConnectionController.h"
#include "ParamBlockLayout.h"
#include "ParamInfo.h"
#include "StatusText.h"

namespace corvane {

namespace {
// A parameter write is one block: a few hundred milliseconds, or up to its byte timeout.
constexpr uint32_t kEndWaitMs = 2000;
constexpr uint32_t kEndWaitStepMs = 10;
} // namespace

const char* OutcomeText(WriteOutcome outcome) {
    switch (outcome) {
    case WriteOutcome::Done:
        return text::kUpdateParamsDone;
    case WriteOutcome::Failed:
        return text::kUpdateParamsError;
    case WriteOutcome::HeldOther:
        return text::kEscHoldsOther;
    case WriteOutcome::Lost:
        return text::kEscDisconnected;
    default:
        return "";
    }
}

void ParameterWrite::Start(const QString& line) {
    // Only a connected ESC whose block the pages show takes one: not one being written,
    // updated, or half-flashed and not yet read afresh.
    if (!RulesOf(m_c.state).writeLive) {
        return;
    }
    if (m_c.params.ParamsUnchanged()) {
        m_c.say(text::kParamsIdentical);
        m_c.view.RestorePressedHighlight();
        return;
    }
    // The link gets a copy: the pages may go on changing the controller's block meanwhile. Only
    // the ESC whose block this is may take it; every refusal comes back as a failed write.
    std::vector<uint8_t> copy = m_c.block;
    if (m_c.link.WriteParameters(copy.data(), static_cast<uint32_t>(copy.size()),
                                 m_c.identity.nEpoch)) {
        m_sent = std::move(copy);
        m_line = line;
        m_c.state = ConnectionState::WritingParams; // from the hand-over, not the first block
        m_last = WriteOutcome::Running;
    }
}

void ParameterWrite::OnAccepted() {
    // The ESC says it took the block; what it holds is read back before the write counts as
    // done, and WRITE stays dead until then.
    m_c.state = ConnectionState::VerifyingWrite;
    if (!m_c.startRead()) {
        OnReadBackFailed();
    }
}

void ParameterWrite::OnFailed() {
    m_c.endTransfer();
    m_line.clear();
    m_c.view.RestorePressedHighlight();
    m_last = WriteOutcome::Failed;
    m_c.say(text::kUpdateParamsError);
}

void ParameterWrite::OnReadBackFailed() {
    // Accepted but not confirmed: the write is not called done, and its changes stay waiting
    // for the next WRITE.
    m_c.forgetRead();
    OnFailed();
}

void ParameterWrite::OnReadBack(const std::vector<uint8_t>& held, uint16_t blockLength,
                                uint8_t blockCount) {
    m_c.endTransfer();
    if (held == m_sent) {
        // What the ESC holds is what was sent, not what the pages hold by now.
        m_c.params.SnapshotParams(m_sent.data(), m_sent.size());
        m_c.view.RestorePressedHighlight();
        m_last = WriteOutcome::Done;
        m_c.say(text::kUpdateParamsDone);
        if (!m_line.isEmpty()) {
            m_c.say(std::exchange(m_line, QString()));
        }
        return;
    }
    if (held.size() != m_sent.size()) {
        OnReadBackFailed();
        return;
    }
    // The pages show what the ESC holds; a value that did not land keeps the user's choice,
    // and with it the mark of a change waiting, so WRITE sends it again. So does an edit made
    // while the block was out.
    std::vector<uint8_t> shown = held;
    std::vector<uint8_t>& block = m_c.block;
    for (size_t i = 0; i < PARAM_COUNT; ++i) {
        const size_t at = block::kValueOffset + i;
        if (at >= shown.size() || at >= block.size()) {
            break;
        }
        if (block[at] != m_sent[at]) {
            shown[at] = block[at];
        } else if (shown[at] != m_sent[at]) {
            shown[at] = m_sent[at];
        }
    }
    block = std::move(shown);
    m_c.params.SetBlock(block.data(), blockLength, blockCount);
    m_c.params.SnapshotParams(held.data(), held.size());
    m_c.view.ReloadPages();
    m_line.clear();
    m_c.view.RestorePressedHighlight();
    m_last = WriteOutcome::HeldOther;
    m_c.say(text::kUpdateParamsError);
    m_c.say(text::kEscHoldsOther);
}

void ParameterWrite::OnLinkLost() {
    if (m_c.state == ConnectionState::WritingParams ||
        m_c.state == ConnectionState::VerifyingWrite) {
        m_last = WriteOutcome::Lost;
    }
    m_line.clear();
}

void ParameterWrite::WaitToEnd(Clock& clock, bool drive) {
    const uint32_t start = clock.Now();
    while (m_c.link.ParameterWriteBusy() && clock.Now() - start <= kEndWaitMs) {
        if (drive) {
            m_c.link.RunPass(); // no worker thread: the link is driven from here
        }
        clock.Sleep(kEndWaitStepMs);
    }
}

} // namespace corvane
