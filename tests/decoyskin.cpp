// A library that stands where no library is ever loaded from: loaded at all, it writes
// the file named by TK_DECOY_TRACE.
#include <cstdio>
#include <cstdlib>

namespace {

__attribute__((constructor)) void leaveTrace()
{
    if (const char *path = std::getenv("TK_DECOY_TRACE")) {
        if (std::FILE *trace = std::fopen(path, "w")) {
            std::fputs("loaded\n", trace);
            std::fclose(trace);
        }
    }
}

} // namespace
