#include "app/single_instance_guard.h"

#include <QDebug>

namespace {
const char* const kSemaphoreKey = "QuorlinQtDriverSemaphore";
const char* const kSegmentKey = "QuorlinQtDriverSharedMemory";
constexpr int kSegmentSize = 1;
} // namespace

SingleInstanceGuard::SingleInstanceGuard()
    : semaphore(QString::fromLatin1(kSemaphoreKey), 1, QSystemSemaphore::Open)
    , segment(QString::fromLatin1(kSegmentKey))
{
}

SingleInstanceGuard::Outcome SingleInstanceGuard::acquire()
{
    semaphore.acquire();

    // A segment left behind by an instance that crashed still exists on
    // systems where segments outlive their processes. Attaching and detaching
    // removes it when nobody else holds it, and leaves a live instance's
    // segment alone.
    {
        QSharedMemory leftover(QString::fromLatin1(kSegmentKey));
        if (leftover.attach())
            leftover.detach();
    }

    if (segment.attach(QSharedMemory::ReadWrite)) {
        semaphore.release();
        qDebug() << "Quorlin Mixer 已经在运行中。";
        return Outcome::AlreadyRunning;
    }
    if (!segment.create(kSegmentSize, QSharedMemory::ReadWrite)) {
        semaphore.release();
        qDebug() << "无法创建共享内存，程序退出。";
        return Outcome::Failed;
    }
    semaphore.release();
    return Outcome::Acquired;
}
