#include "shell/platform/commondialog.h"

#include "shell/platform/messages.h"

#include <QStringList>

namespace tk {

namespace {

// All files first and chosen, as the window has always listed them; the pictures it
// reads as the other choice.
const QStringList OpenFilters = {
    QStringLiteral("所有文件 (*)"),
    QStringLiteral("图片 (*.jpg *.jpeg *.jpe *.png *.gif *.bmp *.ico *.pbm *.pgm *.ppm *.xbm *.xpm "
                   "*.heic *.heif *.hif *.avif *.webp *.tif *.tiff)")};

} // namespace

void CommonDialog::ShowOpen()
{
    const QString chosen = ShowOpenDialog(m_owner, OpenFilters);
    if (!chosen.isEmpty())
        FileName = chosen;
}

} // namespace tk
