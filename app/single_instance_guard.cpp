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
    const Outcome outcome = takeSegment();
    semaphore.release();
    if (outcome == Outcome::AlreadyRunning)
        qDebug() << "Quorlin Mixer 已经在运行中。";
    else if (outcome == Outcome::Failed)
        qDebug() << "无法创建共享内存，程序退出。";
    return outcome;
}

SingleInstanceGuard::Outcome SingleInstanceGuard::takeSegment()
{
    // Two rounds: where segments outlive their processes, one left by a
    // crashed instance can only be found through the key file that the first
    // create() makes again when the temporary directory was emptied since.
    for (int round = 0; round < 2; ++round) {
        removeLeftoverSegment();
        if (segment.attach(QSharedMemory::ReadWrite))
            return Outcome::AlreadyRunning;
        if (segment.create(kSegmentSize, QSharedMemory::ReadWrite))
            return Outcome::Acquired;
        if (segment.error() != QSharedMemory::AlreadyExists)
            break;
    }
    return Outcome::Failed;
}

void SingleInstanceGuard::removeLeftoverSegment()
{
    // Attaching and detaching removes a segment that nobody holds (one left
    // behind by an instance that crashed) and leaves a live instance's alone.
    QSharedMemory leftover(QString::fromLatin1(kSegmentKey));
    if (leftover.attach())
        leftover.detach();
}
