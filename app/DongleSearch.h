// Finding the dongle: the hot-plug notices, the searches the worker makes for them, the
// retries while another program holds the dongle, and the lines that say what came of it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <QObject>
#include <QString>
#include <QTimer>

#include "AccessNotice.h"
#include "PortBase.h"

namespace corvane {

class DongleSearch : public QObject {
    Q_OBJECT

public:
    // `say` adds a status line; `clear` empties the list.
    DongleSearch(PortBase& port, std::function<void(const QString&)> say,
                 std::function<void()> clear);

    // Once the worker's first search had its chance: says what the tool waits for, and starts
    // the retries when the dongle is not open yet (`retry`: only with a worker to make them).
    void AfterStart(bool retry);
    // A udev notice for a hidraw device: "add" (arrival) or "remove".
    void OnDeviceChange(bool arrival, const std::string& path);
    // Has the worker search again while the port is closed; about once a second while
    // another program holds the dongle.
    void Retry();
    bool RetryActive() const { return m_retry.isActive(); }
    // What came of a search the worker made (LN_DONGLE_SEARCHED), and the opening it made.
    void OnSearched(uint32_t outcome, uint32_t opening);

private:
    // Noted with each search: how many plug-ins of a dongle have ended (removals naming its
    // IDs), as far as the tag holds it.
    uint32_t PlugInTag() const;
    // The access lines and the retries after a search (kSearch flags).
    void NoteAccess(uint32_t outcome);

    PortBase& m_port;
    std::function<void(const QString&)> m_say;
    std::function<void()> m_clear;
    AccessNotice m_accessNotice;
    uint32_t m_removals = 0;
    uint32_t m_announcedOpening = 0; // the opening "connected" (or "Waiting ESC...") was said of
    QTimer m_retry;
};

} // namespace corvane
