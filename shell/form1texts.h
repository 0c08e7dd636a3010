#pragma once

#include <QString>

namespace tk {

// The main window's message texts that more than one handler shows.
inline QString noPictureNotice()
{
    return QStringLiteral("请先载入图片");
}
inline QString noticeTitle()
{
    return QStringLiteral("通知:");
}
inline QString warningTitle()
{
    return QStringLiteral("警告：");
}

} // namespace tk
