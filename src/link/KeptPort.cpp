#include "link/KeptPort.h"

#include "link/SerialChannel.h"

#include <utility>

bool KeptPort::takeOver(bool otherWaits) {
    m_pollExchange = m_guards > 0 && !otherWaits;
    const bool kept = std::exchange(m_kept, false) && m_channel.isOpen();
    if (kept && m_pollExchange) {
        m_channel.clearBuffers();
        return true;
    }
    if (kept)
        m_channel.close();
    return false;
}

bool KeptPort::keepAtEnd(bool replied, bool lineHeld) {
    m_kept = m_pollExchange && m_guards > 0 && replied && !lineHeld;
    m_pollExchange = false;
    return m_kept;
}

void KeptPort::close() {
    // While an exchange runs nothing is kept: it opened the port itself or took it over.
    if (std::exchange(m_kept, false) && m_channel.isOpen())
        m_channel.close();
}
