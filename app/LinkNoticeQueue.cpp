#include "LinkNoticeQueue.h"

#include <QCoreApplication>

namespace corvane {

QEvent::Type LinkNoticeQueue::WakeKind() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void LinkNoticeQueue::PostLinkNotify(const LinkNotice& notice) {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_notices.push_back(notice);
    }
    QCoreApplication::postEvent(m_receiver, new QEvent(WakeKind()));
}

std::optional<LinkNotice> LinkNoticeQueue::Take() {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_notices.empty()) {
        return std::nullopt;
    }
    const LinkNotice notice = m_notices.front();
    m_notices.pop_front();
    return notice;
}

void LinkNoticeQueue::Clear() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_notices.clear();
}

} // namespace corvane
