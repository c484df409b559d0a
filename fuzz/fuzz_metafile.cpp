// The metafile pictures of sheet prints: the first byte picks the kind (by
// its remainder of 3: an enhanced metafile, a Windows metafile, a Macintosh
// picture), the rest is the file, drawn as the sheet print draws it. Text needs the font database, hence the
// offscreen application.
#include "FuzzSupport.h"
#include "reports/sheet/SheetPictures.h"

#include <QGuiApplication>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tabulon;
    static int argc = 1;
    static char name[] = "fuzz_metafile";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = (qputenv("QT_QPA_PLATFORM", "offscreen"), new QGuiApplication(argc, argv));
    (void)app;
    if (size == 0) return 0;
    static const model::Picture::Kind kinds[] = {model::Picture::Emf, model::Picture::Wmf, model::Picture::Pict};
    const model::Picture picture{kinds[data[0] % 3], fuzz::bytesOf(data + 1, size - 1)};
    (void)reports::sheet::pictureImage(picture).isNull();
    return 0;
}
