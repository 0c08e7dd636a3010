#include "update/versioncheck.h"

#include "core/language.h"
#include "core/text.h"

namespace tk {

namespace {

const QLatin1String Marker("Ver");
constexpr int VersionLength = 8; // "13.11.06"

// Two digits, a dot, two digits, a dot, two digits at `at`, and no digit after them.
bool isVersionAt(const QString &text, qsizetype at)
{
    if (at + VersionLength > text.size())
        return false;
    for (int i = 0; i < VersionLength; ++i) {
        const QChar c = text.at(at + i);
        if (i % 3 == 2 ? c != QLatin1Char('.') : !isAsciiDigit(c))
            return false;
    }
    const qsizetype after = at + VersionLength;
    return after == text.size() || !isAsciiDigit(text.at(after));
}

QString twoDigits(int number)
{
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

} // namespace

QString ownVersionText(int major, int minor, int revision)
{
    return twoDigits(major) + QLatin1Char('.') + twoDigits(minor) + QLatin1Char('.') +
           twoDigits(revision);
}

std::optional<QString> publishedVersion(const QString &body)
{
    for (qsizetype at = body.indexOf(Marker); at >= 0; at = body.indexOf(Marker, at + 1)) {
        const qsizetype version = at + Marker.size();
        if (isVersionAt(body, version))
            return body.mid(version, VersionLength);
    }
    return std::nullopt;
}

TickVerdict tickVerdict(float barWidth, bool versionFetched, const QString &own,
                        const QString &published)
{
    TickVerdict verdict;
    if (barWidth >= CheckingWidth)
        verdict.status = Texts::tr("正在检测版本信息...");
    if (barWidth < VerdictWidth)
        return verdict;
    if (versionFetched && published != own) {
        verdict.prompt = true;
        return verdict;
    }
    verdict.status = versionFetched ? Texts::tr("暂无更新") : Texts::tr("网络连接失败！");
    verdict.close = barWidth >= FullWidth;
    return verdict;
}

QString promptText(const QString &published)
{
    return Texts::tr("发现新版本 Ver：%1 是否去官网下载最新版本？").arg(published);
}

QString promptTitle()
{
    return Texts::tr("更新提示：");
}

} // namespace tk
