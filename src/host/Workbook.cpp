#include "host/Workbook.h"

#include "common/Error.h"
#include "host/NameRanges.h"
#include "host/ReadFailure.h"
#include "host/model/Notation.h"
#include "host/ooxml/OoxmlLoader.h"
#include "host/ooxml/crypto/EncryptedPackage.h"
#include "host/props/PropertySets.h"
#include "host/vba/Project.h"
#include "host/xls/Loader.h"

namespace tabulon::host {

namespace {
constexpr int kSubscriptOutOfRange = 9;

[[noreturn]] void outOfRange(const QString& what) {
    raiseHostError(kSubscriptOutOfRange, QStringLiteral("Subscript out of range: %1").arg(what));
}

// The project is read from the file the workbook came from; a failure is
// kept for whoever asks for the project, so that the workbook's own
// chapters still work.
void readProject(const cfb::CompoundFile& file, model::Book& book) {
    const cfb::Storage storage = file.root().storage(QStringLiteral("_VBA_PROJECT_CUR"));
    if (storage.isNull()) return;
    try {
        book.vbaProject = std::make_shared<const vba::Project>(vba::Project::read(storage, book.path));
    } catch (...) {
        book.vbaFailure = std::current_exception();
    }
}
}  // namespace

Workbook Workbook::load(const QString& path, const PasswordAsk& ask) {
    // Damage the reader could not step over leaves as a damaged workbook,
    // whatever record it was found in. The format is told by the content,
    // never by the name: a zip package is an Office Open XML workbook, a
    // compound file an .xls or the encrypted package of a newer workbook.
    std::shared_ptr<model::Book> book;
    asReadFailure(ReadFailure::Damaged, path, [&] {
        if (ooxml::isZipFile(path)) {
            book = std::make_shared<model::Book>(ooxml::loadOoxmlWorkbook(path, ask));
            return;
        }
        const cfb::CompoundFile file = xls::openWorkbookFile(path);
        if (ooxml::holdsEncryptedPackage(file)) {
            book = std::make_shared<model::Book>(ooxml::loadEncryptedPackage(file, path, ask));
            return;
        }
        book = std::make_shared<model::Book>(xls::readCompoundWorkbook(file, path, ask));
        readProject(file, *book);
    });
    return Workbook(std::move(book));
}

Workbook Workbook::fromModel(model::Book book) { return Workbook(std::make_shared<const model::Book>(std::move(book))); }

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
    if (kind != LinkExcel && kind != LinkOle) return out;
    const auto wanted = kind == LinkExcel ? model::Link::Workbook : model::Link::OleDde;
    for (const model::Link& link : book_->links)
        if (link.kind == wanted && !link.target.isEmpty() && !out.contains(link.target)) out << link.target;
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

std::shared_ptr<const vba::Project> Workbook::vbaProject() const {
    if (book_->vbaFailure) std::rethrow_exception(book_->vbaFailure);
    if (book_->vbaProject) return book_->vbaProject;
    static const auto none = std::make_shared<const vba::Project>();
    return none;
}

QString Name::name() const {
    const model::Name& n = model();
    return n.sheetLevel ? model::quoteSheetName(n.sheet) + QLatin1Char('!') + n.name : n.name;
}

QString Name::refersTo() const { return model().refersTo; }

bool Name::visible() const { return !model().hidden; }

bool Name::isSheetLevel() const { return model().sheetLevel; }

QString Name::refersToRangeAddress() const {
    const model::Name& n = model();
    if (!n.areas) raiseHostError(err::Refused, QStringLiteral("The name '%1' does not refer to a range").arg(name()));
    QStringList parts;
    for (const model::Area& a : *n.areas) parts << areaAddress(a, *book_);
    return parts.join(QLatin1Char(','));
}

}  // namespace tabulon::host
