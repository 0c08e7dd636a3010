// Any bytes as a picture file, through the load path of the window's preview and the
// cutter's full-size decode: a failure must be a tk::Error, never a crash, a hang or
// an allocation past the budget.
#include "core/error.h"
#include "core/picturereader.h"

#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QGuiApplication *app = [] {
        static int argc = 1;
        static char name[] = "fuzz_picture";
        static char *argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "offscreen");
        tk::setUpPictureReading();
        return new QGuiApplication(argc, argv);
    }();
    Q_UNUSED(app);
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const bool preview : {true, false}) {
        try {
            const auto reader = tk::PictureReader::fromBytes(bytes, QStringLiteral("fuzz"));
            const QSize wanted = preview ? QSize(400, 200) : QSize();
            const QImage image = reader->read(wanted);
            if (image.isNull() || (preview && image.size() != wanted))
                std::abort(); // success must mean a picture of the size asked for
        } catch (const tk::Error &) {
        }
    }
    return 0;
}
