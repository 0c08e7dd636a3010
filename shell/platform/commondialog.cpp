#include "commondialog.h"

#include "messages.h"

namespace tk {

void CommonDialog::ShowOpen()
{
    const QString chosen = ShowOpenDialog(m_owner);
    if (!chosen.isEmpty())
        FileName = chosen;
}

} // namespace tk
