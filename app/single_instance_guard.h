#pragma once

#include <QSharedMemory>
#include <QSystemSemaphore>

// Lets one instance of the application run at a time. The running instance
// holds a one-byte shared memory segment; a system semaphore serialises the
// attach-or-create check between processes that start together.
class SingleInstanceGuard {
public:
    enum class Outcome { Acquired, AlreadyRunning, Failed };

    SingleInstanceGuard();

    // Takes the instance segment for the lifetime of the guard.
    Outcome acquire();

private:
    Outcome takeSegment();
    static void removeLeftoverSegment();

    QSystemSemaphore semaphore;
    QSharedMemory segment;
};
