#include "core/atomicfile.h"

#include "core/error.h"
#include "core/language.h"
#include "core/systemerror.h"
#include "core/tempfiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <cerrno>
#include <unistd.h>

namespace tk {

namespace {

[[noreturn]] void fail(const QString &path, const QString &reason)
{
    throw Error(Texts::tr("无法保存文件“%1”：%2").arg(printableName(path), reason));
}

QString partName(const QString &path)
{
    static std::atomic<unsigned> counter{0};
    // Hidden, and ending like the target: Qt then picks an image writer by the suffix
    // instead of loading every image plugin to ask. The folder is spelled as in the
    // target, so both are reached through the same hold on it (see tempfiles).
    const QFileInfo info(path);
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1) +
           QStringLiteral(".%1-%2-%3.part.%4")
               .arg(info.completeBaseName(), QString::number(QCoreApplication::applicationPid()),
                    QString::number(counter++), info.suffix());
}

// Writes straight to a descriptor and keeps the system's reason for a failed write,
// which the encoders would otherwise reduce to "failed".
class DescriptorDevice : public QIODevice {
public:
    explicit DescriptorDevice(int fd) : m_fd(fd)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    int failure() const { return m_errno; }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        qint64 done = 0;
        while (done < size) {
            const ssize_t n = ::write(m_fd, data + done, size_t(size - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                m_errno = n < 0 ? errno : EIO;
                return -1;
            }
            done += n;
        }
        return done;
    }

private:
    int m_fd;
    int m_errno = 0;
};

} // namespace

void writeFileAtomically(const QString &path, const std::function<QString(QIODevice &)> &write)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray part = QFile::encodeName(partName(path));
    const int fd = tempfiles::create(part);
    if (fd < 0)
        fail(path, reasonOf(errno));

    QString reason;
    try {
        DescriptorDevice device(fd);
        reason = write(device);
        // The system's cause beats the encoder's own words.
        if (device.failure() != 0)
            reason = reasonOf(device.failure());
    } catch (...) {
        ::close(fd);
        tempfiles::discard(part);
        throw;
    }
    if (::close(fd) != 0 && reason.isEmpty())
        reason = reasonOf(errno);
    if (reason.isEmpty()) {
        const int error = tempfiles::commit(part, target);
        if (error == 0)
            return;
        reason = reasonOf(error);
    }
    tempfiles::discard(part);
    fail(path, reason);
}

} // namespace tk
