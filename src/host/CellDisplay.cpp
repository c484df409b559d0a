#include "host/CellDisplay.h"

#include "common/Error.h"
#include "host/ReadFailure.h"
#include "host/cfb/CompoundFile.h"
#include "host/xls/Loader.h"

namespace tabulon::host {

format::Display cellDisplay(const QVariant& value, bool isError, const QString& formatCode, bool date1904,
                            bool showZeros) {
    if (!value.isValid()) return {};
    if (isError) {
        format::Display d;
        d.text = value.toString();
        return d;
    }
    switch (value.typeId()) {
    case QMetaType::Bool: return format::formatBool(value.toBool());
    case QMetaType::Double: {
        const double v = value.toDouble();
        if (v == 0 && !showZeros) return {};
        return format::formatNumber(v, formatCode, date1904);
    }
    default: return format::formatText(value.toString(), formatCode);
    }
}

PrintSource::PrintSource(const Workbook& book) : book_(book) {
    // An encrypted workbook's layout is read from the copy decrypted at load.
    std::optional<QByteArray> stream;
    if (book.model().decrypted) stream = book.model().decryptedStream;
    else {
        const cfb::CompoundFile file(book.fullName());
        // The stream is read in place in the file's bytes: copied before the file goes.
        if (const std::optional<QByteArray> view = xls::workbookStream(file))
            stream = QByteArray(view->constData(), view->size());
    }
    if (!stream)
        raiseReadFailure(ReadFailure::NotWorkbook, book.fullName(), QStringLiteral("no Workbook stream"));
    stream_ = *stream;
    formats_ = xls::readBookFormats(stream_);
}

xls::SheetLayout PrintSource::layout(const Sheet& sheet) const {
    return xls::readSheetLayout(stream_, book_.model().sheets[size_t(sheet.index() - 1)].bofOffset,
                                book_.model().codePage, book_.model().biff);
}

format::Display PrintSource::display(const Cell& cell, const xls::SheetLayout& layout) const {
    const xls::XfDef& xf = formats_.xf(layout.cellXf(cell.row() - 1, cell.column() - 1));
    return cellDisplay(cell.value(), cell.isError(), formats_.formatCode(xf.format), formats_.date1904,
                       layout.showZeros);
}

}  // namespace tabulon::host
