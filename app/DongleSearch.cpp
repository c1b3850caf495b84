#include "DongleSearch.h"

#include <utility>

#include "CommandLine.h"
#include "LinkTypes.h"
#include "StatusText.h"

namespace corvane {

namespace {
// How often to look for a dongle that another program holds.
constexpr int kRetryMs = 1000;
} // namespace

DongleSearch::DongleSearch(PortBase& port, std::function<void(const QString&)> say,
                           std::function<void()> clear)
    : m_port(port), m_say(std::move(say)), m_clear(std::move(clear)) {
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &DongleSearch::Retry);
}

void DongleSearch::AfterStart(bool retry) {
    m_say(m_port.HoldsDevice() ? text::kWaitingEsc : text::kWaitingDongleAtStart);
    m_announcedOpening = m_port.HoldsDevice() ? m_port.OpenSerial() : 0;
    NoteAccess(m_port.HoldsDevice() ? kSearchOpened | kSearchWholeWalk
                                    : kSearchWholeWalk | m_port.AccessFlags());
    if (!m_port.HoldsDevice() && retry) {
        // The worker's first search may not have ended within the pause: one more look
        // soon, which also starts the retries if another program holds the dongle.
        m_retry.start();
    }
}

void DongleSearch::OnDeviceChange(bool arrival, const std::string& path) {
    if (arrival) {
        // The worker opens the arrived device and tells what came of it (LN_DONGLE_SEARCHED);
        // while the port is open the arrival opens nothing.
        if (!m_port.NoteArrival(path, PlugInTag())) {
            NoteAccess(m_port.AccessFlags());
        }
        return;
    }
    if (m_accessNotice.OnRemoval(path)) {
        ++m_removals;
    }
    if (m_port.OnDeviceRemoval(path)) {
        m_clear();
        m_say(text::kWaitingDongleAfterRemoval);
        // Another dongle of ours may still be plugged in: no arrival would ever name it.
        Retry();
    }
}

void DongleSearch::Retry() {
    if (m_port.GetState() != PORT_CLOSED) {
        m_retry.stop();
        return;
    }
    m_port.NoteSearch(PlugInTag()); // the worker makes it (LN_DONGLE_SEARCHED)
}

uint32_t DongleSearch::PlugInTag() const {
    return m_removals & (~0u >> kSearchTagShift);
}

void DongleSearch::OnSearched(uint32_t outcome, uint32_t opening) {
    // Said once per opening, and only while it is the one held: a removal handled before
    // this notice has ended it already.
    if (opening != 0 && opening != m_announcedOpening && opening == m_port.OpenSerial() &&
        m_port.GetState() != PORT_CLOSED) {
        m_announcedOpening = opening;
        m_say(text::kDongleConnected);
        m_say(text::kWaitingEsc);
    }
    // A search noted before a dongle's removal speaks of a plug-in that has ended.
    if (outcome >> kSearchTagShift == PlugInTag()) {
        NoteAccess(outcome);
    }
}

void DongleSearch::NoteAccess(uint32_t outcome) {
    const bool opened = (outcome & kSearchOpened) != 0;
    const bool wholeWalk = (outcome & kSearchWholeWalk) != 0;
    const bool inUse = !opened && (outcome & kSearchInUse) != 0;
    const AccessNotice::Lines lines =
        m_accessNotice.AfterSearch(opened, (outcome & kSearchDenied) != 0, inUse);
    // Once per plug-in, as in the status list: also where a user who started us from a
    // terminal, or sends us a log, will look.
    if (lines.denied) {
        m_say(text::kDongleAccessDenied);
        Diagnose("access to the USB dongle's node " + m_port.DeniedNode() +
                 " denied: install the udev rule 70-corvane-dongle.rules and re-plug the dongle");
    }
    if (lines.inUse) {
        m_say(text::kDongleInUse);
        Diagnose(text::kDongleInUse);
    }
    // hidraw tells nobody when another program lets the dongle go: look again now and then
    // while it is held elsewhere. Only a walk over every device may end that: an arrival's
    // search tries the arriving device in the first one's place and can miss ours.
    if (inUse) {
        if (!m_retry.isActive()) {
            m_retry.start();
        }
    } else if (opened || wholeWalk) {
        m_retry.stop();
    }
}

} // namespace corvane
