#include "shell/platform/filelistproxy.h"

#include <QDateTime>
#include <QFileSystemModel>
#include <QLocale>

namespace tk {

namespace {

// The columns of QFileSystemModel.
constexpr int SizeColumn = 1;
constexpr int DateColumn = 3;

} // namespace

QVariant FileListProxy::data(const QModelIndex &index, int role) const
{
    const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
    if (role != Qt::DisplayRole || !files || !index.isValid())
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    switch (index.column()) {
    case SizeColumn:
        if (files->isDir(source)) // folders show no size
            break;
        // In 1024s with the familiar kB, MB rather than KiB, MiB.
        return QLocale().formattedDataSize(files->size(source), 2,
                                           QLocale::DataSizeTraditionalFormat);
    case DateColumn:
        return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
    default:
        break;
    }
    return QIdentityProxyModel::data(index, role);
}

} // namespace tk
