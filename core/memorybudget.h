#pragma once

#include <QMutex>
#include <QSize>
#include <QString>
#include <QWaitCondition>
#include <QtGlobal>

namespace tk {

// What the pictures being decoded and cut at one time may take together. With the
// program's own needs on top, no input takes the process past 1 GiB.
constexpr qint64 PictureMemoryBudget = qint64(800) << 20;

// The pixels of `size`, a negative side counting as none; capped far above any budget,
// so that bytes reckoned from it cannot overflow.
qint64 pixelArea(QSize size);
// The end of every refusal for memory: "约需 N MB 内存，超过 800 MB 的上限", N being
// `bytes` in whole MB rounded up, so a need just over the budget never reads as equal to it.
QString beyondBudget(qint64 bytes);

// Shares the budget among pictures cut at the same time: a picture waits until its
// share is free.
class MemoryGate {
public:
    explicit MemoryGate(qint64 budget = PictureMemoryBudget) : m_available(budget) {}
    // `bytes` must not exceed the budget.
    void acquire(qint64 bytes);
    void release(qint64 bytes);

private:
    QMutex m_lock;
    QWaitCondition m_freed;
    qint64 m_available;
};

} // namespace tk
