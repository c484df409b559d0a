#include "host/ooxml/BookParts.h"

#include "host/ooxml/book/Ribbon.h"
#include "host/ooxml/drawing/DrawingMl.h"
#include "host/ooxml/drawing/SheetShapes.h"
#include "host/ooxml/drawing/Vml.h"
#include "host/ooxml/package/Package.h"
#include "host/ooxml/sheet/Comments.h"
#include "host/ooxml/sheet/SheetParser.h"
#include "host/vba/Project.h"

#include <memory>

namespace tabulon::ooxml {

namespace {
// The compound file of a VBA project; the project reader bounds what it
// takes from it further.
constexpr uint64_t kMaxVbaProjectBytes = 512u << 20;
}  // namespace

void readSheetParts(const Package& package, model::Book& book, size_t index, const QString& sheetPart,
                    const SheetRefs& refs, const ColorResolver& colors, QStringList& warnings) {
    if (sheetPart.isEmpty()) return;
    model::Sheet& sheet = book.sheets[index];
    const Relationship* main = package.relationship(QString(), u"officeDocument");
    readComments(package, sheetPart, main ? main->part : QString(), sheet, warnings);

    const auto partOf = [&](const QString& id, QStringView kind) -> QString {
        const Relationship* r = id.isEmpty() ? nullptr : package.relationshipById(sheetPart, id);
        if (!r) r = package.relationship(sheetPart, kind);
        return r && !r->external && package.hasPart(r->part) ? r->part : QString();
    };
    const QString drawingPart = partOf(refs.drawing, u"drawing");
    const QString vmlPart = partOf(refs.legacyDrawing, u"vmlDrawing");
    std::vector<DrawnShape> drawing, vml;
    if (!drawingPart.isEmpty()) drawing = readDrawingMl(package, drawingPart, colors, warnings);
    if (!vmlPart.isEmpty()) vml = readVml(package, vmlPart, warnings);
    if (!drawing.empty() || !vml.empty())
        placeShapes(package, book, sheet, drawingPart, std::move(drawing), std::move(vml), refs.controls, sheetPart, warnings);
}

void readBookParts(const Package& package, const QString& workbookPart, model::Book& book) {
    book.ribbonActions = readRibbonActions(package, book.warnings);
    // The VBA project is a compound file of its own whose root is the
    // project storage; a failure to read it is kept for whoever asks.
    const Relationship* r = package.relationship(workbookPart, u"vbaProject");
    if (!r || r->external || !package.hasPart(r->part)) return;
    try {
        const QByteArray bytes = package.read(r->part, kMaxVbaProjectBytes);
        book.vbaProject = std::make_shared<const vba::Project>(vba::Project::fromBytes(bytes, book.path));
    } catch (...) {
        book.vbaFailure = std::current_exception();
    }
}

}  // namespace tabulon::ooxml
