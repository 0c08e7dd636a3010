#include "core/memorybudget.h"

namespace tk {

void MemoryGate::acquire(qint64 bytes)
{
    QMutexLocker locker(&m_lock);
    while (m_available < bytes)
        m_freed.wait(&m_lock);
    m_available -= bytes;
}

void MemoryGate::release(qint64 bytes)
{
    {
        QMutexLocker locker(&m_lock);
        m_available += bytes;
    }
    m_freed.wakeAll();
}

} // namespace tk
