// Carries the worker's notifications to the user-interface thread, in posting order.
//
// The notices themselves go through a queue of our own under a std::mutex; Qt only carries
// an empty wake-up event, one per notice. So the hand-over from the worker to the window is
// ordered by a lock that ThreadSanitizer sees (Qt's own, uninstrumented, it cannot), and a
// race it reports between the two threads is real.
#pragma once

#include <deque>
#include <mutex>
#include <optional>

#include <QEvent>

#include "NotifySink.h"

class QObject;

namespace corvane {

class LinkNoticeQueue : public NotifySink {
public:
    // The event type of the wake-up posted to the receiver.
    static QEvent::Type WakeKind();

    explicit LinkNoticeQueue(QObject* receiver) : m_receiver(receiver) {}

    // Any thread: queues the notice and wakes the receiver.
    void PostLinkNotify(const LinkNotice& notice) override;
    // The receiver's thread: the oldest notice not yet taken. A wake-up finds the queue
    // empty when an earlier one took its notice already, in a nested event loop, say.
    std::optional<LinkNotice> Take();
    // Drops whatever was not taken (once the worker is gone, nothing more may arrive).
    void Clear();

private:
    QObject* m_receiver; // outlives the worker: the controller stops the link before it goes
    std::mutex m_lock;
    std::deque<LinkNotice> m_notices;
};

} // namespace corvane
