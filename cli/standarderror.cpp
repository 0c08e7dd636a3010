#include "cli/standarderror.h"

#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TK_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TK_SANITIZED 1
#endif
#ifdef TK_SANITIZED
#include <sanitizer/common_interface_defs.h>
#endif

namespace tk {

int keepStandardErrorForReports()
{
    const int reports = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nowhere >= 0) {
        ::dup2(nowhere, STDERR_FILENO);
        if (nowhere != STDERR_FILENO)
            ::close(nowhere);
    }
#ifdef TK_SANITIZED
    if (reports >= 0)
        __sanitizer_set_report_fd(reinterpret_cast<void *>(std::intptr_t(reports)));
#endif
    return reports;
}

} // namespace tk
