#pragma once

#include "core/language.h"

#include <QString>

namespace tk {

// The main window's message texts that more than one handler shows.
inline QString noPictureNotice()
{
    return Texts::tr("请先载入图片");
}
inline QString noticeTitle()
{
    return Texts::tr("通知:");
}
inline QString warningTitle()
{
    return Texts::tr("警告：");
}

} // namespace tk
