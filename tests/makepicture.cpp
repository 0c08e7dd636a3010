// Writes a test picture: makepicture PATH WIDTH HEIGHT
#include "testsupport.h"

#include <QGuiApplication>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 4)
        return 2;
    const QImage picture = testsupport::gridPicture(QSize(atoi(argv[2]), atoi(argv[3])), 4, 2);
    return picture.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
