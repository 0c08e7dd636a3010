#include "core/memorybudget.h"

#include "core/language.h"

namespace tk {

namespace {

constexpr int MegabyteShift = 20;

qint64 wholeMegabytes(qint64 bytes)
{
    return (bytes + (qint64(1) << MegabyteShift) - 1) >> MegabyteShift;
}

} // namespace

qint64 pixelArea(QSize size)
{
    return qMin(qint64(qMax(0, size.width())) * qMax(0, size.height()), qint64(1) << 48);
}

QString beyondBudget(qint64 bytes)
{
    return Texts::tr("约需 %1 MB 内存，超过 %2 MB 的上限")
        .arg(wholeMegabytes(bytes))
        .arg(PictureMemoryBudget >> MegabyteShift);
}

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
