#include "cli/cutter.h"

#include "cli/options.h"
#include "cli/plan.h"
#include "core/error.h"
#include "core/language.h"
#include "core/memorybudget.h"
#include "core/systemerror.h"
#include "core/tempfiles.h"

#include <QFile>
#include <QMutex>
#include <QTextStream>
#include <QThread>
#include <QThreadPool>
#include <atomic>
#include <functional>
#include <cerrno>

namespace tk {

namespace {

const QString Name = QStringLiteral("tesselkraft-cut");

// Holds a picture's share of the memory budget while it is decoded and cut.
class BudgetShare {
public:
    BudgetShare(MemoryGate &gate, qint64 bytes) : m_gate(gate), m_bytes(bytes)
    {
        m_gate.acquire(m_bytes);
    }
    ~BudgetShare() { m_gate.release(m_bytes); }
    BudgetShare(const BudgetShare &) = delete;
    BudgetShare &operator=(const BudgetShare &) = delete;

private:
    MemoryGate &m_gate;
    qint64 m_bytes;
};

// Lets go of the job's folder however the job ends.
struct FolderHold {
    QByteArray folder;
    ~FolderHold() { tempfiles::releaseFolder(folder); }
};

// Cuts one picture; `warn` hears what is worth saying of a cut that goes ahead.
void cutOne(const CutJob &job, const Wall &wall, MemoryGate &gate,
            const std::function<void(const QString &)> &warn)
{
    if (!job.refusal.isEmpty())
        throw Error(job.refusal);
    PictureReader reader(job.picture, job.shown);
    const WallPlan plan = planWall(reader, wall);
    if (plan.enlargement > NotableEnlargement && !wall.isDesignChoice())
        warn(enlargementWarning(plan.enlargement));
    const BudgetShare share(gate, plan.peakBytes);
    const DecodedWall decoded = decodeForWall(reader, wall, plan);
    // Only a picture that decoded gets a folder. Below the base, the tiles go into a
    // folder the run holds, never through a link that takes its place.
    const QByteArray folder = QFile::encodeName(job.folder);
    const QByteArray base = QFile::encodeName(job.base);
    if (const int error = tempfiles::createFolders(base, folder.mid(base.size()))) {
        throw Error(error == ELOOP
                        ? Texts::tr("无法写入文件夹“%1”：它是符号链接，小图不会写到它指向的地方")
                              .arg(printableName(job.folder))
                        : Texts::tr("无法创建文件夹“%1”：%2")
                              .arg(printableName(job.folder), reasonOf(error)));
    }
    const FolderHold hold{folder};
    writeWall(decoded, job.folder, wall, plan);
}

// Reports go out one whole line at a time, whichever thread writes them.
class Reporter {
public:
    Reporter(QTextStream &out, QTextStream &err) : m_out(out), m_err(err) {}
    // One line per report: names come escaped, and a reason from Qt or the system that
    // holds a line break is folded, so no report ever spans two lines.
    void line(bool error, QString text)
    {
        text.replace(QLatin1Char('\n'), QLatin1Char(' '))
            .replace(QLatin1Char('\r'), QLatin1Char(' '));
        write(error ? m_err : m_out, text + QLatin1Char('\n'));
    }
    // Our own texts of several lines, as written.
    void text(const QString &text) { write(m_out, text); }
    bool failed() const { return m_failed; }

private:
    void write(QTextStream &stream, const QString &text)
    {
        const QMutexLocker locker(&m_lock);
        stream << text;
        stream.flush();
        if (stream.status() != QTextStream::Ok)
            m_failed = true;
    }

    QMutex m_lock;
    QTextStream &m_out, &m_err;
    std::atomic<bool> m_failed{false};
};

} // namespace

int runCutter(const QByteArrayList &arguments, QTextStream &out, QTextStream &err)
{
    Reporter report(out, err);
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    if (parsed.kind == ParsedCommandLine::Help) {
        report.text(helpText());
        return report.failed() ? 1 : 0;
    }
    if (parsed.kind == ParsedCommandLine::UsageError) {
        report.line(true, Name + QStringLiteral(": ") + parsed.message);
        report.line(true, Texts::tr("用 --help 查看用法。"));
        return 2;
    }
    const CutOptions &options = parsed.options;
    const QList<CutJob> jobs = planCuts(options);

    MemoryGate gate;
    std::atomic<bool> failed{false}, misused{false};
    auto runJob = [&](const CutJob &job) {
        const QString about = Name + QStringLiteral(": ") + job.shown + QStringLiteral(": ");
        try {
            cutOne(job, options.wall, gate,
                   [&](const QString &warning) { report.line(true, about + warning); });
            if (!options.quiet)
                report.line(false, QStringLiteral("%1 -> %2 (%3)")
                                       .arg(job.shown, printableName(job.folder),
                                            QString::number(options.wall.tileCount())));
        } catch (const RegionOutside &e) {
            misused = true;
            report.line(true, about + e.message());
        } catch (const std::exception &e) {
            failed = true;
            report.line(true, about + messageOf(e));
        }
    };

    if (jobs.size() == 1) {
        runJob(jobs.first());
    } else {
        QThreadPool pool;
        pool.setMaxThreadCount(qMin(QThread::idealThreadCount(), int(jobs.size())));
        for (const CutJob &job : jobs)
            pool.start([&runJob, job] { runJob(job); });
        pool.waitForDone();
    }
    tempfiles::removeEmptyFolders();
    if (misused)
        return 2;
    return failed || report.failed() ? 1 : 0;
}

} // namespace tk
