#include "LinkEventSink.h"

#include <QCoreApplication>

namespace corvane {

QEvent::Type LinkNotifyEvent::Kind() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void LinkEventSink::PostLinkNotify(uint32_t code, uint32_t value) {
    QCoreApplication::postEvent(m_receiver, new LinkNotifyEvent(code, value));
}

} // namespace corvane
