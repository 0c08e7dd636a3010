#include "atomicfile.h"

#include "error.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tk {

namespace {

[[noreturn]] void fail(const QString &path, const QString &reason)
{
    throw Error(QStringLiteral("无法保存文件“%1”：%2").arg(path, reason));
}

QString partName(const QString &path)
{
    static std::atomic<unsigned> counter{0};
    // Hidden, and ending like the target: Qt then picks an image writer by the suffix
    // instead of loading every image plugin to ask.
    const QFileInfo info(path);
    return info.path() + QStringLiteral("/.%1-%2-%3.part.%4")
                             .arg(info.completeBaseName())
                             .arg(QCoreApplication::applicationPid())
                             .arg(counter++)
                             .arg(info.suffix());
}

} // namespace

void writeFileAtomically(const QString &path, const std::function<QString(QIODevice &)> &write)
{
    // A new file, not a QTemporaryFile: it gets the ordinary permissions (umask).
    QFile part(partName(path));
    if (!part.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        fail(path, part.errorString());

    QString reason = write(part);
    if (reason.isEmpty() && !part.flush())
        reason = part.errorString();
    part.close();
    if (reason.isEmpty() && part.error() != QFileDevice::NoError)
        reason = part.errorString();
    if (reason.isEmpty()) {
        // POSIX rename replaces the target in one step; QFile::rename refuses to.
        if (std::rename(QFile::encodeName(part.fileName()).constData(),
                        QFile::encodeName(path).constData()) == 0)
            return;
        reason = QString::fromLocal8Bit(std::strerror(errno));
    }
    part.remove();
    fail(path, reason);
}

} // namespace tk
