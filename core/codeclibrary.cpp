#include "core/codeclibrary.h"

#include "core/language.h"

#include "core/error.h"

#include <dlfcn.h>

namespace tk {

namespace {

[[noreturn]] void missing(const QString &format, const char *what)
{
    throw Error(Texts::tr("无法读取 %1 图片：缺少解码库（%2）")
                    .arg(format, QString::fromLocal8Bit(what)));
}

} // namespace

void *codecLibrary(const char *soname, const QString &format)
{
    // Kept open for the process: its functions are used from then on.
    void *library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        missing(format, soname);
    return library;
}

void *codecFunction(void *library, const char *name, const QString &format)
{
    void *function = dlsym(library, name);
    if (!function)
        missing(format, name);
    return function;
}

} // namespace tk
