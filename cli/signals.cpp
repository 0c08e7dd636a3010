#include "cli/signals.h"

#include "core/tempfiles.h"

#include <csignal>
#include <pthread.h>
#include <thread>

namespace tk {

void stopCleanlyOnSignals()
{
    std::signal(SIGPIPE, SIG_IGN);
    sigset_t stopping;
    sigemptyset(&stopping);
    sigaddset(&stopping, SIGINT);
    sigaddset(&stopping, SIGQUIT);
    sigaddset(&stopping, SIGTERM);
    sigaddset(&stopping, SIGHUP);
    // Threads started later inherit the mask, so only the watcher below sees them.
    pthread_sigmask(SIG_BLOCK, &stopping, nullptr);
    std::thread([stopping] {
        int signal = 0;
        while (sigwait(&stopping, &signal) != 0) {
        }
        tempfiles::abandonAndExit(128 + signal);
    }).detach();
}

} // namespace tk
