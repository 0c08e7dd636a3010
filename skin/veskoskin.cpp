#include "skin/veskoskin.h"

#include "core/regularfile.h"
#include "skin/skinfile.h"

#include <QApplication>
#include <QGraphicsDropShadowEffect>
#include <QPushButton>
#include <QStringDecoder>
#include <QWidget>

namespace {

// A skin file is small; a larger file is refused before it is read.
constexpr qint64 MaxSkinFile = 2 * qint64(tk::SkinMaxUnpacked);

QApplication *application()
{
    return qobject_cast<QApplication *>(QCoreApplication::instance());
}

// The unpacked content is a UTF-8 style sheet; anything else is a corrupt skin.
bool styleSheetOf(const QByteArray &content, QString &styleSheet)
{
    if (content.contains('\0'))
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    styleSheet = decoder(content);
    return !decoder.hasError();
}

} // namespace

extern "C" {

std::int32_t SkinH_AttachEx(const char *skinPath, const char *second)
{
    Q_UNUSED(second);
    QApplication *app = application();
    if (!app || !skinPath)
        return 1;
    // A pipe under the skin's name would hold the program's start for ever.
    const tk::RegularFile file = tk::openRegularFile(QByteArray(skinPath));
    if (!file.file || file.file->size() > MaxSkinFile)
        return 2;
    const QByteArray bytes = file.file->read(MaxSkinFile + 1);
    QByteArray content;
    if (bytes.size() > MaxSkinFile || tk::unpackSkin(bytes, content) != tk::SkinFault::None)
        return 3;
    QString styleSheet;
    if (!styleSheetOf(content, styleSheet))
        return 4;
    app->setStyleSheet(styleSheet);
    return 0;
}

std::int32_t SkinH_SetAero(std::int32_t windowHandle)
{
    if (!application() || windowHandle == 0)
        return 1;
    // Native handles that travel as 32-bit integers are unsigned underneath.
    QWidget *window = QWidget::find(WId(std::uint32_t(windowHandle)));
    if (!window)
        return 2;
    for (QPushButton *button : window->findChildren<QPushButton *>()) {
        if (button->graphicsEffect())
            continue;
        auto *shadow = new QGraphicsDropShadowEffect(button);
        shadow->setBlurRadius(10);
        shadow->setOffset(0, 2);
        shadow->setColor(QColor(30, 60, 56, 70));
        button->setGraphicsEffect(shadow);
    }
    return 0;
}
}
