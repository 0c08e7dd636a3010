#include "shell/platform/resdata.h"

#include "core/error.h"
#include "core/language.h"

#include <QFile>

namespace tk {

QByteArray LoadResData(int number)
{
    QFile resource(QStringLiteral(":/custom/%1").arg(number));
    if (!resource.open(QIODevice::ReadOnly))
        throw Error(Texts::tr("程序文件中缺少资源 %1").arg(number));
    return resource.readAll();
}

} // namespace tk
