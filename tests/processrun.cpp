#include "processrun.h"

#include <QFile>
#include <csignal>
#include <deque>
#include <fcntl.h>
#include <memory>
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

ChildProcess::ChildProcess(const QByteArray &program, const QByteArrayList &arguments,
                           const ProcessOptions &options)
    : m_options(options), m_started(std::chrono::steady_clock::now())
{
    // Files, not pipes: a child that writes a lot can never block on a full pipe.
    m_out.open();
    m_err.open();
    int pipeEnds[2] = {-1, -1};
    if (options.stdoutTo == ProcessOptions::Stdout::ClosedPipe && ::pipe(pipeEnds) != 0) {
        m_run = ProcessRun();
        return;
    }

    std::vector<char *> argv;
    QByteArrayList owned{program};
    owned += arguments;
    for (QByteArray &argument : owned)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    m_pid = ::fork();
    if (m_pid == 0) {
        int stdoutFd = m_out.handle();
        if (options.stdoutTo == ProcessOptions::Stdout::DevFull)
            stdoutFd = ::open("/dev/full", O_WRONLY);
        else if (options.stdoutTo == ProcessOptions::Stdout::ClosedPipe)
            stdoutFd = pipeEnds[1];
        if (pipeEnds[0] >= 0)
            ::close(pipeEnds[0]);
        ::dup2(stdoutFd, STDOUT_FILENO);
        ::dup2(m_err.handle(), STDERR_FILENO);
        ::signal(SIGPIPE, SIG_DFL);
        ::execv(program.constData(), argv.data());
        ::_exit(127);
    }
    if (pipeEnds[0] >= 0) {
        ::close(pipeEnds[0]); // nobody reads: every write to it fails
        ::close(pipeEnds[1]);
    }
    if (m_pid < 0)
        m_run = ProcessRun(); // never waited for: that would take another child's end
}

ChildProcess::~ChildProcess()
{
    if (m_pid > 0 && !m_run) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
}

ProcessRun ChildProcess::finish()
{
    if (m_run)
        return *m_run;
    ProcessRun run;
    int status = 0;
    rusage usage{};
    const auto deadline = m_started + std::chrono::milliseconds(m_options.timeoutMs);
    for (;;) {
        const pid_t done = ::wait4(m_pid, &status, WNOHANG, &usage);
        if (done == m_pid)
            break;
        if (std::chrono::steady_clock::now() > deadline) {
            run.timedOut = true;
            ::kill(m_pid, SIGKILL);
            ::wait4(m_pid, &status, 0, &usage);
            break;
        }
        if (m_options.whileRunning)
            m_options.whileRunning(m_pid);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        run.signal = WTERMSIG(status);
    run.peakBytes = qint64(usage.ru_maxrss) * 1024;
    run.out = readAll(m_out.handle());
    run.err = readAll(m_err.handle());
    m_run = run;
    return run;
}

ProcessRun runProcess(const QByteArray &program, const QByteArrayList &arguments,
                      const ProcessOptions &options)
{
    return ChildProcess(program, arguments, options).finish();
}

QList<ProcessRun> runSideBySide(const QList<Command> &commands, int atOnce)
{
    QList<ProcessRun> runs;
    std::deque<std::unique_ptr<ChildProcess>> running;
    for (const Command &command : commands) {
        if (int(running.size()) == atOnce) {
            runs << running.front()->finish();
            running.pop_front();
        }
        running.push_back(
            std::make_unique<ChildProcess>(command.program, command.arguments, command.options));
    }
    for (const std::unique_ptr<ChildProcess> &child : running)
        runs << child->finish();
    return runs;
}

} // namespace testsupport
