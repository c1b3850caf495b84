// Carries the worker's notifications to the main window as events queued on the
// user-interface thread: asynchronous, in posting order.
#pragma once

#include <QEvent>
#include <QPointer>

#include "NotifySink.h"

namespace corvane {

class LinkNotifyEvent : public QEvent {
public:
    static QEvent::Type Kind();
    LinkNotifyEvent(uint32_t code, uint32_t value) : QEvent(Kind()), m_code(code), m_value(value) {}
    uint32_t Code() const { return m_code; }
    uint32_t Value() const { return m_value; }

private:
    uint32_t m_code;
    uint32_t m_value;
};

class LinkEventSink : public NotifySink {
public:
    explicit LinkEventSink(QObject* receiver) : m_receiver(receiver) {}
    void PostLinkNotify(uint32_t code, uint32_t value) override;

private:
    QObject* m_receiver; // outlives the worker: the window stops the link before it goes
};

} // namespace corvane
