// The editor's picture loader on one picture file, as it loads the sheets
// at start-up and the magic pictures (BMP only).
#include <QImage>

#include "editor_session.h"
#include "platform/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzeditor::WriteGameFile(QStringLiteral("Resource/bmp/fuzz.bmp"), data, size);
    const QString path = fuzzeditor::GameDir() + QStringLiteral("Resource/bmp/fuzz.bmp");
    fuzzeditor::Command([&] {
        QImage img;
        QString error;
        fr::loadPicture(path, img, error);
        fr::loadPicture(path, img, error, true);
    });
    return 0;
}
