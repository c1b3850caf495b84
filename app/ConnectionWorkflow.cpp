// Link notifications, dongle notices and the parameter write, as status lines and page life.
#include <cstdio>

#include <QListWidget>
#include <QProgressBar>

#include "CCorvaneProgPanelDlg.h"
#include "Pages.h"
#include "ParamBlockLayout.h"
#include "StatusText.h"

namespace corvane {

namespace {
constexpr uint8_t kSupportedFamily = 50;

const char* ConnectedFormat(uint8_t model) {
    switch (model) {
    case 8:
        return text::kConnectedQ8;
    case 16:
        return text::kConnectedQ10;
    default:
        return nullptr;
    }
}
} // namespace

void CCorvaneProgPanelDlg::AddStatus(const QString& line) {
    m_statusList->addItem(line);
    m_statusList->scrollToBottom();
}

void CCorvaneProgPanelDlg::ClearStatus() {
    m_statusList->clear();
}

void CCorvaneProgPanelDlg::OnDeviceChange(bool arrival, const std::string& path) {
    if (arrival) {
        NoteDongleSearch(m_port.OnDeviceArrival(path), false);
        return;
    }
    m_accessNotice.OnRemoval(path);
    if (m_port.OnDeviceRemoval(path)) {
        ClearStatus();
        AddStatus(text::kWaitingDongleAfterRemoval);
        // Another dongle of ours may still be plugged in: no arrival would ever name it.
        RetryDongleSearch();
    }
}

void CCorvaneProgPanelDlg::RetryDongleSearch() {
    if (m_port.GetState() != PORT_CLOSED) {
        m_dongleRetry.stop();
        return;
    }
    NoteDongleSearch(m_port.Search(), true);
}

void CCorvaneProgPanelDlg::NoteDongleSearch(bool opened, bool wholeWalk) {
    if (opened) {
        m_link.SetSubState(0);
        AddStatus(text::kDongleConnected);
        AddStatus(text::kWaitingEsc);
    }
    NoteAccessAfterSearch(opened, wholeWalk);
}

void CCorvaneProgPanelDlg::NoteAccessAfterSearch(bool opened, bool wholeWalk) {
    const bool inUse = !opened && m_port.DongleInUse();
    const AccessNotice::Lines lines =
        m_accessNotice.AfterSearch(opened, m_port.AccessDenied(), inUse);
    if (lines.denied) {
        AddStatus(text::kDongleAccessDenied);
    }
    if (lines.inUse) {
        AddStatus(text::kDongleInUse);
    }
    // hidraw tells nobody when another program lets the dongle go: look again now and then
    // while it is held elsewhere. Only a walk over every device may end that: an arrival's
    // search tries the arriving device in the first one's place and can miss ours.
    if (inUse) {
        if (!m_dongleRetry.isActive()) {
            m_dongleRetry.start();
        }
    } else if (opened || wholeWalk) {
        m_dongleRetry.stop();
    }
}

void CCorvaneProgPanelDlg::OnLinkNotify(uint32_t code, uint32_t value) {
    switch (code) {
    case LN_IDENTIFIED:
        OnIdentified();
        break;
    case LN_READ_DONE:
        OnReadDone();
        break;
    case LN_READ_FAILED:
        // The read may still end well (a stray byte after the request posts this, and the
        // ESC goes on): its end is still awaited.
        AddStatus(text::kGetParamsFailed);
        m_link.SetReportIdentity(false);
        break;
    case LN_BLOCK_START:
        OnBlockStart(value);
        break;
    case LN_WRITE_DONE:
        OnWriteDone(value);
        break;
    case LN_WRITE_FAILED:
        OnWriteFailed(value);
        break;
    case LN_BLOCK_PROGRESS:
        m_progress->setValue(static_cast<int>(m_link.m_FirmwareRecord.byBlockCount) -
                             static_cast<int>(value));
        break;
    case LN_LINK_LOST:
        OnLinkLost();
        break;
    default:
        break;
    }
}

void CCorvaneProgPanelDlg::OnIdentified() {
    m_firmwareOnly = false;
    m_escIdentity = m_link.Identity();
    // A new identity is a new connection, whatever ESC it names: until its read has finished
    // nothing the user does may reach it, so the tool counts as not connected. The pages go
    // too: they show the old block, and new firmware may describe other ranges.
    if (m_paramsLoaded || m_pagesExist) {
        m_paramsLoaded = false;
        CreatePages(false);
    }
    const EscIdentity& esc = m_escIdentity;
    if (esc.byFamily != kSupportedFamily) {
        m_link.SetLinkState(LINK_DOWN);
        return;
    }
    const char* format = ConnectedFormat(esc.byModel);
    if (format == nullptr) {
        AddStatus(text::kNotSupported);
        return;
    }
    char line[128];
    std::snprintf(line, sizeof line, format, esc.byVersionLetter, esc.byVersion / 10.0);
    AddStatus(QString::fromLatin1(line));
    AddStatus(text::kGettingParams);
    // A read the link could not take (busy past its wait) never ran: whatever block the
    // window holds is not this ESC's. The identity is asked for again, and with it the read.
    m_readPending = m_link.ReadParameters();
    if (!m_readPending) {
        AddStatus(text::kGetParamsFailed);
    }
}

void CCorvaneProgPanelDlg::OnReadDone() {
    // Only the end of a read that really ran counts (a refused hand-over posts this too).
    if (!m_readPending) {
        return;
    }
    m_readPending = false;
    CreatePages(false);
    const TransferRecord& esc = m_link.m_EscRecord;
    if (!esc.pData || esc.nDataSize == 0) {
        m_block.clear();
        m_params.SetBlock(nullptr, 0, 0);
        AddStatus(text::kGetParamsFailed);
        return;
    }
    // The worker is done with its block until the next read, which only this window starts.
    m_block.assign(esc.pData.get(), esc.pData.get() + esc.nDataSize);
    const bool whole = m_block.size() >= size_t{esc.wBlockLength} * esc.byBlockCount;
    m_params.SetBlock(whole ? m_block.data() : nullptr, esc.wBlockLength, esc.byBlockCount);
    AddStatus(text::kGettingParamsDone);
    if (m_block.size() > block::kVersionOffset &&
        m_block[block::kVersionOffset] == block::kSupportedVersion) {
        SnapshotParams();
        CreatePages(true);
        m_link.SetReportIdentity(false);
        m_paramsLoaded = true;
    } else {
        AddStatus(text::kParamVersionUnsupported);
        AddStatus(text::kPleaseUpdateFirmware);
        m_link.SetReportIdentity(false);
        m_firmwareOnly = true;
    }
}

void CCorvaneProgPanelDlg::OnLinkLost() {
    m_readPending = false;
    m_firmwareBusy = false;
    m_link.SetReportIdentity(true);
    CreatePages(false);
    AddStatus(text::kEscDisconnected);
    AddStatus(text::kWaitingEsc);
    m_paramsLoaded = false;
    m_transferBusy = false;
    m_firmwareOnly = false;
}

void CCorvaneProgPanelDlg::OnBlockStart(uint32_t command) {
    m_transferBusy = true;
    if (command == esc::kWriteFirmware) {
        m_progress->show();
    } else if (command == esc::kWriteParams) {
        AddStatus(text::kUpdatingParams);
    }
}

void CCorvaneProgPanelDlg::OnWriteDone(uint32_t command) {
    m_transferBusy = false;
    if (command == esc::kWriteFirmware) {
        m_firmwareBusy = false;
        m_progress->hide();
        AddStatus(text::kFirmwareDone);
        // The new firmware may lay its parameters out otherwise: until the fresh read is
        // done the old block must not reach it, nor any edit be made to it.
        m_paramsLoaded = false;
        m_firmwareOnly = false;
        CreatePages(false);
    } else if (command == esc::kWriteParams) {
        // What the ESC now holds is what was sent, not what the pages hold by now.
        m_params.SnapshotParams(m_sentBlock.data(), m_sentBlock.size());
        RestorePressedHighlight();
        AddStatus(text::kUpdateParamsDone);
    }
}

void CCorvaneProgPanelDlg::OnWriteFailed(uint32_t command) {
    m_transferBusy = false;
    if (command == esc::kWriteFirmware) {
        m_firmwareBusy = false;
        m_progress->hide();
        AddStatus(text::kFirmwareFailed);
    } else if (command == esc::kWriteParams) {
        RestorePressedHighlight();
        AddStatus(text::kUpdateParamsError);
    }
}

void CCorvaneProgPanelDlg::StoreAllPages() {
    if (!m_pagesExist) {
        return;
    }
    m_brakePage->StoreParams();
    m_settingPage->StoreParams();
    m_timingPage->StoreParams();
    m_throttlePage->StoreParams();
}

void CCorvaneProgPanelDlg::UpdateParameters() {
    if (ParamsUnchanged()) {
        AddStatus(text::kParamsIdentical);
        RestorePressedHighlight();
        return;
    }
    // The link gets a copy: the pages may go on changing the window's block meanwhile. Only
    // the ESC whose block this is may take it; every refusal comes back as a failed write.
    std::vector<uint8_t> copy = m_block;
    if (m_link.WriteParameters(copy.data(), static_cast<uint32_t>(copy.size()),
                               m_escIdentity.nEpoch)) {
        m_sentBlock = std::move(copy);
        m_transferBusy = true; // dead from the hand-over on, not only from the first block
    }
}

} // namespace corvane
