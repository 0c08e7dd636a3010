#include "processrun.h"

#include <QFile>
#include <QTemporaryFile>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace testsupport {

namespace {

QByteArray readAll(int fd)
{
    QFile file;
    ::lseek(fd, 0, SEEK_SET);
    return file.open(fd, QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

ProcessRun runProcess(const QByteArray &program, const QByteArrayList &arguments,
                      const ProcessOptions &options)
{
    // Files, not pipes: a child that writes a lot can never block on a full pipe.
    QTemporaryFile out, err;
    out.open();
    err.open();
    int pipeEnds[2] = {-1, -1};
    if (options.stdoutTo == ProcessOptions::Stdout::ClosedPipe && ::pipe(pipeEnds) != 0)
        return {};

    std::vector<char *> argv;
    QByteArrayList owned{program};
    owned += arguments;
    for (QByteArray &argument : owned)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid == 0) {
        int stdoutFd = out.handle();
        if (options.stdoutTo == ProcessOptions::Stdout::DevFull)
            stdoutFd = ::open("/dev/full", O_WRONLY);
        else if (options.stdoutTo == ProcessOptions::Stdout::ClosedPipe)
            stdoutFd = pipeEnds[1];
        if (pipeEnds[0] >= 0)
            ::close(pipeEnds[0]);
        ::dup2(stdoutFd, STDOUT_FILENO);
        ::dup2(err.handle(), STDERR_FILENO);
        ::signal(SIGPIPE, SIG_DFL);
        ::execv(program.constData(), argv.data());
        ::_exit(127);
    }
    if (pipeEnds[0] >= 0) {
        ::close(pipeEnds[0]); // nobody reads: every write to it fails
        ::close(pipeEnds[1]);
    }

    ProcessRun run;
    int status = 0;
    rusage usage{};
    for (int waited = 0;; waited += 5) {
        const pid_t done = ::wait4(pid, &status, WNOHANG, &usage);
        if (done == pid)
            break;
        if (waited > options.timeoutMs) {
            run.timedOut = true;
            ::kill(pid, SIGKILL);
            ::wait4(pid, &status, 0, &usage);
            break;
        }
        if (options.whileRunning)
            options.whileRunning(pid);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        run.signal = WTERMSIG(status);
    run.peakBytes = qint64(usage.ru_maxrss) * 1024;
    run.out = readAll(out.handle());
    run.err = readAll(err.handle());
    return run;
}

} // namespace testsupport
