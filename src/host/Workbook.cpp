#include "host/Workbook.h"

#include "common/Error.h"
#include "host/NameRanges.h"
#include "host/ReadFailure.h"
#include "host/props/PropertySets.h"
#include "host/xls/BookContext.h"
#include "host/xls/Loader.h"

namespace tabulon::host {

namespace {
constexpr int kSubscriptOutOfRange = 9;

[[noreturn]] void outOfRange(const QString& what) {
    raiseHostError(kSubscriptOutOfRange, QStringLiteral("Subscript out of range: %1").arg(what));
}
}  // namespace

Workbook Workbook::load(const QString& path, const xls::PasswordAsk& ask) {
    // Damage the reader could not step over leaves as a damaged workbook,
    // whatever record it was found in.
    std::shared_ptr<const xls::WorkbookModel> model;
    asReadFailure(ReadFailure::Damaged, path,
                  [&] { model = std::make_shared<const xls::WorkbookModel>(xls::loadWorkbook(path, ask)); });
    return Workbook(std::move(model));
}

QString Workbook::fullName() const { return book_->path; }

int Workbook::sheetCount() const { return int(book_->sheets.size()); }

Sheet Workbook::sheet(int position) const {
    if (position < 1 || position > sheetCount()) outOfRange(QString::number(position));
    return Sheet(book_, position - 1);
}

Sheet Workbook::sheet(const QString& name) const {
    for (size_t i = 0; i < book_->sheets.size(); ++i)
        if (book_->sheets[i].name.compare(name, Qt::CaseInsensitive) == 0) return Sheet(book_, int(i));
    outOfRange(name);
}

int Workbook::nameCount() const { return int(book_->names.size()); }

Name Workbook::name(int position) const {
    if (position < 1 || position > nameCount()) outOfRange(QString::number(position));
    return Name(book_, position - 1);
}

QStringList Workbook::linkSources(int kind) const {
    QStringList out;
    const auto wanted = kind == LinkExcel ? xls::SupBookKind::External : xls::SupBookKind::OleDde;
    if (kind != LinkExcel && kind != LinkOle) return out;
    for (const xls::SupBookModel& sb : book_->supBooks)
        if (sb.kind == wanted && !sb.path.isEmpty() && !out.contains(sb.path)) out << sb.path;
    return out;
}

QVariant Workbook::builtinProperty(int position) const {
    if (position < 1 || position > 30) outOfRange(QString::number(position));
    auto it = book_->properties.find(position);
    if (it != book_->properties.end()) return it->second;
    if (props::isDatePosition(position))
        raiseHostError(err::PropertyNotHeld, QStringLiteral("the document property %1 is not held").arg(position));
    return QVariant();
}

QStringList Workbook::warnings() const { return book_->warnings; }

QString Name::name() const {
    const xls::NameModel& n = book_->names[size_t(index_)];
    if (n.sheetIndex <= 0) return n.name;
    const int tab = n.sheetIndex - 1;
    const QString sheet = tab < book_->boundSheetNames.size() ? book_->boundSheetNames.at(tab) : QString();
    return xls::quoteSheetName(sheet) + QLatin1Char('!') + n.name;
}

QString Name::refersTo() const { return book_->names[size_t(index_)].refersTo; }

bool Name::visible() const { return !book_->names[size_t(index_)].hidden; }

bool Name::isSheetLevel() const { return book_->names[size_t(index_)].sheetIndex > 0; }

QString Name::refersToRangeAddress() const {
    const auto areas = nameAreas(book_->names[size_t(index_)], book_->biff == 5);
    if (!areas) raiseHostError(err::Refused, QStringLiteral("The name '%1' does not refer to a range").arg(name()));
    QStringList parts;
    for (const xls::Area& a : *areas) parts << areaAddress(a);
    return parts.join(QLatin1Char(','));
}

}  // namespace tabulon::host
