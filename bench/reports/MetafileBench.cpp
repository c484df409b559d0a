// Pictures of sheet prints: for each metafile picture of the given
// workbooks (or .emf / .wmf files), its size, the time to read it (the EMF
// converter, the WMF headers) and to draw it at the sheet print's resolution,
// each the best of three runs; the other pictures with whether they are drawn.
//
//   bench_metafile [--png DIR] BOOK|FILE.emf|FILE.wmf...   (--png: each drawing saved, to look at)
#include "host/Workbook.h"
#include "reports/sheet/EmfPicture.h"
#include "reports/sheet/SheetPictures.h"
#include "reports/sheet/WmfPlayer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QRegularExpression>
#include <cstdio>

using namespace tabulon;
using reports::sheet::EmfPicture;
using reports::sheet::WmfPicture;

namespace {

QString pngFolder;

template <class Metafile>
void time(const QString& label, const QByteArray& data) {
    double readMs = 1e9, drawMs = 1e9;
    QSize pixels;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        const Metafile m(data);
        readMs = std::min(readMs, t.nsecsElapsed() / 1e6);
        if (!m.isValid()) break;
        pixels = reports::sheet::metafilePixels(m.sizeMm());
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        t.restart();
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        m.play(p, QRectF(QPointF(), QSizeF(pixels)));
        p.end();
        drawMs = std::min(drawMs, t.nsecsElapsed() / 1e6);
        if (run == 0 && !pngFolder.isEmpty()) image.save(pngFolder + QLatin1Char('/') + QString(label).replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")), QStringLiteral("_")) + QStringLiteral(".png"));
    }
    std::printf("%-48s %8lld B  read %7.2f ms  draw %7.2f ms  (%d x %d px)\n", qPrintable(label),
                (long long)data.size(), readMs, pixels.isValid() ? drawMs : 0.0, pixels.width(), pixels.height());
}

void timePicture(const QString& label, const model::Picture& p) {
    if (p.kind == model::Picture::Emf) return time<EmfPicture>(label + QStringLiteral(" EMF"), p.data);
    if (p.kind == model::Picture::Wmf) return time<WmfPicture>(label + QStringLiteral(" WMF"), p.data);
    // The other pictures: whether they are drawn.
    static const char* const kinds[] = {"missing", "PNG", "JPEG", "BMP", "EMF", "WMF", "PICT", "other"};
    const QImage image = reports::sheet::pictureImage(p);
    std::printf("%-48s %8lld B  %s\n", qPrintable(label + QLatin1Char(' ') + QLatin1String(kinds[p.kind])),
                (long long)p.data.size(), image.isNull() ? "not drawn" : qPrintable(QStringLiteral("%1 x %2 px").arg(image.width()).arg(image.height())));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() > 1 && args[0] == QStringLiteral("--png")) pngFolder = args[1], args.remove(0, 2);
    for (const QString& path : args) {
        const QString name = QFileInfo(path).fileName();
        if (path.endsWith(QStringLiteral(".emf"), Qt::CaseInsensitive) || path.endsWith(QStringLiteral(".wmf"), Qt::CaseInsensitive)) {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly)) continue;
            const bool wmf = path.endsWith(QStringLiteral(".wmf"), Qt::CaseInsensitive);
            timePicture(name, {wmf ? model::Picture::Wmf : model::Picture::Emf, f.readAll()});
            continue;
        }
        const host::Workbook book = host::Workbook::load(path);
        const auto& pictures = book.model().pictures;
        for (size_t i = 0; i < pictures.size(); ++i) timePicture(QStringLiteral("%1 #%2").arg(name).arg(i), pictures[i]);
    }
    return 0;
}
