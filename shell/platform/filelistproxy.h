#pragma once

#include <QIdentityProxyModel>

namespace tk {

// Laid over the open dialog's file list: sizes and dates in the program's language
// (the default QLocale). Qt writes them in the desktop's language whatever the
// program speaks; everything else passes through unchanged.
class FileListProxy : public QIdentityProxyModel {
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};

} // namespace tk
