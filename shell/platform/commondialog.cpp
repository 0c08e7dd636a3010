#include "shell/platform/commondialog.h"

#include "shell/platform/messages.h"

namespace tk {

void CommonDialog::ShowOpen()
{
    const QString chosen = ShowOpenDialog(m_owner);
    if (!chosen.isEmpty())
        FileName = chosen;
}

} // namespace tk
