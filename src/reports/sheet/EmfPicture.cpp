#include "reports/sheet/EmfPicture.h"

#include "reports/sheet/SheetPainter.h"

#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QtEndian>
#include <emf2svg.h>
#include <mutex>

namespace tabulon::reports::sheet {

namespace {

constexpr qsizetype kMaxEmfBytes = 64 << 20;
constexpr qsizetype kMaxSvgBytes = 256 << 20;

// The converter keeps no state between calls that we know of, but it draws
// its element ids from the C library's random numbers: one call at a time.
std::mutex converterMutex;

// Texts given as glyph numbers (ETO_GLYPH_INDEX) of the font that set them
// cannot be read back without that font, and the converter, to try, tears
// down the process's fontconfig, which the painter's own fonts stand on.
// Such a text keeps its place but loses its characters. The records end
// where one is damaged, so the converter reads only the records seen here.
void dropGlyphNumberTexts(QByteArray& records) {
    auto* p = reinterpret_cast<uchar*>(records.data());
    const qsizetype size = records.size();
    qsizetype at = 0;
    while (at + 8 <= size) {
        const quint32 type = qFromLittleEndian<quint32>(p + at), length = qFromLittleEndian<quint32>(p + at + 4);
        if (length < 8 || length % 4 || length > quint64(size - at)) break;
        // EMR_EXTTEXTOUTA / W (MS-EMF 2.3.5.7-8): 76 bytes before the
        // characters; the EmrText's nChars at 44, fOptions at 52.
        const bool text = type == 83 || type == 84;
        if (text && length < 76) break;
        if (text && (qFromLittleEndian<quint32>(p + at + 52) & 0x10)) {
            qToLittleEndian<quint32>(0, p + at + 44);
            qToLittleEndian<quint32>(qFromLittleEndian<quint32>(p + at + 52) & ~0x10u, p + at + 52);
        }
        at += length;
    }
    records.truncate(at);
}

}  // namespace

QByteArray withReportFaces(const QByteArray& svg) {
    static const QRegularExpression family(QStringLiteral("font-family=\"([^\"]*)\""));
    const QString text = QString::fromUtf8(svg);
    QString out;
    out.reserve(text.size());
    qsizetype last = 0;
    for (auto it = family.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        out += QStringLiteral("font-family=\"%1\"").arg(substituteFamily(m.captured(1)).toHtmlEscaped());
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out.toUtf8();
}

EmfPicture::EmfPicture(const QByteArray& bytes) {
    // MS-EMF 2.3.4.2: the header record (type 1) with its bounds, its frame
    // in hundredths of a millimetre, " EMF" and the file's size.
    if (bytes.size() < 88 || bytes.size() > kMaxEmfBytes) return;
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    if (qFromLittleEndian<quint32>(p) != 1 || bytes.mid(40, 4) != " EMF") return;
    const qint64 frameW = qint64(qFromLittleEndian<qint32>(p + 32)) - qFromLittleEndian<qint32>(p + 24);
    const qint64 frameH = qint64(qFromLittleEndian<qint32>(p + 36)) - qFromLittleEndian<qint32>(p + 28);
    const qint64 boundsW = qint64(qFromLittleEndian<qint32>(p + 16)) - qFromLittleEndian<qint32>(p + 8);
    const qint64 boundsH = qint64(qFromLittleEndian<qint32>(p + 20)) - qFromLittleEndian<qint32>(p + 12);
    // A frame left empty: the bounds in pixels at 96 an inch.
    sizeMm_ = frameW > 0 && frameH > 0 ? QSizeF(frameW / 100.0, frameH / 100.0)
                                       : QSizeF((boundsW + 1) * 25.4 / 96, (boundsH + 1) * 25.4 / 96);
    if (sizeMm_.width() <= 0 || sizeMm_.height() <= 0) return;
    // The size the header gives bounds the records read.
    const quint32 declared = qFromLittleEndian<quint32>(p + 48);
    QByteArray records = bytes.left(declared >= 88 ? std::min<qsizetype>(declared, bytes.size()) : bytes.size());
    dropGlyphNumberTexts(records);
    char* out = nullptr;
    size_t length = 0;
    generatorOptions options{};
    options.nameSpace = const_cast<char*>("");
    options.svgDelimiter = true;
    options.emfplus = false;  // dual files carry every drawing as EMF records too
    int ok = 0;
    {
        const std::lock_guard<std::mutex> lock(converterMutex);
        ok = emf2svg(records.data(), size_t(records.size()), &out, &length, &options);
    }
    if (ok && out && length > 0 && length <= size_t(kMaxSvgBytes)) svg_ = withReportFaces(QByteArray(out, qsizetype(length)));
    free(out);
}

bool EmfPicture::play(QPainter& p, const QRectF& target) const {
    if (svg_.isEmpty()) return false;
    QSvgRenderer renderer(svg_);
    if (!renderer.isValid()) return false;
    renderer.setAspectRatioMode(Qt::IgnoreAspectRatio);
    renderer.render(&p, target);
    return true;
}

}  // namespace tabulon::reports::sheet
