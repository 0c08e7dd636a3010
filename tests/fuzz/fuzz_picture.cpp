// Any bytes as a picture file, through the load path of the window's preview, the
// cutter's full-size decode and the decode that reports its rows as it goes: a failure
// must be a tk::Error, never a crash, a hang or an allocation past the budget.
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
    // The decode that full-resolution walls are cut from as it runs: rows told in order,
    // never past the picture.
    try {
        const auto reader = tk::PictureReader::fromBytes(bytes, QStringLiteral("fuzz"));
        int told = 0;
        const QImage image = reader->readStored(
            reader->decodeSizes().constFirst(), [&told](const QImage &decoding, int rows) {
                if (rows < told || rows > decoding.height())
                    std::abort();
                told = rows;
            });
        if (image.isNull())
            std::abort();
    } catch (const tk::Error &) {
    }
    return 0;
}
