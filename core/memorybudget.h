#pragma once

#include <QMutex>
#include <QWaitCondition>
#include <QtGlobal>

namespace tk {

// What the pictures being decoded and cut at one time may take together. With the
// program's own needs on top, no input takes the process past 1 GiB.
constexpr qint64 PictureMemoryBudget = qint64(800) << 20;

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
