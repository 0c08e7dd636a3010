#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QTemporaryFile>
#include <chrono>
#include <functional>
#include <optional>
#include <sys/types.h>

// Runs a program as a child process and reads what only its parent can see: how it
// ended (exit status or signal) and its peak memory.
namespace testsupport {

struct ProcessRun {
    int exitCode = -1; // -1 when it was killed by a signal
    int signal = 0;
    bool timedOut = false;
    QByteArray out, err;
    qint64 peakBytes = 0; // the largest resident set it had (its own, whatever else runs)
};

struct ProcessOptions {
    int timeoutMs = 60000; // counted from the start
    enum class Stdout { Captured, DevFull, ClosedPipe } stdoutTo = Stdout::Captured;
    // Called every few milliseconds while finish() waits; may signal the child.
    std::function<void(pid_t)> whileRunning;
};

// A child started at once and judged by finish(), so that children that do not depend
// on each other run side by side. Going unfinished, it kills the child.
class ChildProcess {
public:
    ChildProcess(const QByteArray &program, const QByteArrayList &arguments,
                 const ProcessOptions &options = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    // Waits for the child's end, or kills it at its time-out.
    ProcessRun finish();

private:
    ProcessOptions m_options;
    QTemporaryFile m_out, m_err;
    pid_t m_pid = -1;
    std::chrono::steady_clock::time_point m_started;
    std::optional<ProcessRun> m_run;
};

ProcessRun runProcess(const QByteArray &program, const QByteArrayList &arguments,
                      const ProcessOptions &options = {});

struct Command {
    QByteArray program;
    QByteArrayList arguments;
    ProcessOptions options = {};
};
// Runs every command, at most `atOnce` of them at a time; the runs in the same order.
QList<ProcessRun> runSideBySide(const QList<Command> &commands, int atOnce);

} // namespace testsupport
