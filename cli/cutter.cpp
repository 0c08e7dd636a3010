#include "cutter.h"

#include "error.h"
#include "options.h"
#include "plan.h"

#include <QDir>
#include <QMutex>
#include <QTextStream>
#include <QThread>
#include <QThreadPool>
#include <atomic>

namespace tk {

namespace {

const QString Name = QStringLiteral("tesselkraft-cut");

void cutOne(const CutJob &job, const CutOptions &options)
{
    if (!job.refusal.isEmpty())
        throw Error(job.refusal);
    const bool existed = QDir(job.folder).exists();
    if (!QDir().mkpath(job.folder))
        throw Error(QStringLiteral("无法创建目录“%1”").arg(job.folder));
    try {
        cutWall(job.picture, job.folder, options.wall);
    } catch (...) {
        if (!existed)
            QDir().rmdir(job.folder); // only while still empty
        throw;
    }
}

} // namespace

int runCutter(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    if (parsed.kind == ParsedCommandLine::Help) {
        out << helpText();
        return 0;
    }
    if (parsed.kind == ParsedCommandLine::UsageError) {
        err << Name << ": " << parsed.message << "\n"
            << QStringLiteral("用 --help 查看用法。") << "\n";
        return 2;
    }
    const CutOptions &options = parsed.options;
    const QList<CutJob> jobs = planCuts(options);

    QMutex lock;
    std::atomic<bool> failed{false};
    auto runJob = [&](const CutJob &job) {
        try {
            cutOne(job, options);
            if (!options.quiet) {
                const QMutexLocker locker(&lock);
                out << job.picture << " -> " << job.folder << " (" << options.wall.tileCount()
                    << ")\n";
                out.flush();
            }
        } catch (const std::exception &e) {
            failed = true;
            const QString reason = messageOf(e);
            const QMutexLocker locker(&lock);
            err << Name << ": " << job.picture << ": " << QString(reason).replace('\n', ' ')
                << "\n";
            err.flush();
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
    return failed ? 1 : 0;
}

} // namespace tk
