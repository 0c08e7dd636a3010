#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <functional>
#include <sys/types.h>

// Runs a program as a child process and reads what only its parent can see: how it
// ended (exit status or signal) and its peak memory.
namespace testsupport {

struct ProcessRun {
    int exitCode = -1; // -1 when it was killed by a signal
    int signal = 0;
    bool timedOut = false;
    QByteArray out, err;
    qint64 peakBytes = 0; // the largest resident set it had
};

struct ProcessOptions {
    int timeoutMs = 60000;
    enum class Stdout { Captured, DevFull, ClosedPipe } stdoutTo = Stdout::Captured;
    // Called every few milliseconds while the child runs; may signal it.
    std::function<void(pid_t)> whileRunning;
};

ProcessRun runProcess(const QByteArray &program, const QByteArrayList &arguments,
                      const ProcessOptions &options = {});

} // namespace testsupport
