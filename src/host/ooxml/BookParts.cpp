#include "host/ooxml/BookParts.h"

#include "host/ooxml/book/Colors.h"
#include "host/ooxml/book/Ribbon.h"
#include "host/ooxml/drawing/ChartPart.h"
#include "host/ooxml/drawing/DrawingMl.h"
#include "host/ooxml/drawing/SheetShapes.h"
#include "host/ooxml/drawing/Vml.h"
#include "host/ooxml/package/Package.h"
#include "host/ooxml/sheet/Comments.h"
#include "host/ooxml/sheet/SheetParser.h"
#include "host/vba/Project.h"

#include <map>
#include <memory>
#include <optional>

namespace tabulon::ooxml {

namespace {
// The compound file of a VBA project; the project reader bounds what it
// takes from it further.
constexpr uint64_t kMaxVbaProjectBytes = 512u << 20;
// The chart parts the drawing's chart frames point to, each read into the
// book once; a chart sheet's chart is the first of its drawing.
void readCharts(const Package& package, model::Book& book, model::Sheet& sheet, const QString& drawingPart,
                std::vector<DrawnShape>& drawing, const ColorResolver& colors, QStringList& warnings) {
    std::map<QString, int> read;
    for (DrawnShape& d : drawing) {
        if (d.chartRel.isEmpty()) continue;
        const Relationship* r = package.relationshipById(drawingPart, d.chartRel);
        if (!r || r->external || r->part.isEmpty()) continue;
        auto [it, fresh] = read.emplace(r->part, -1);
        if (fresh) {
            if (std::optional<model::Chart> chart = readChartPart(package, r->part, colors.theme, book.formats.date1904, warnings)) {
                book.charts.push_back(std::move(*chart));
                it->second = int(book.charts.size() - 1);
            }
        }
        d.shape.chart = it->second;
        if (sheet.kind == model::SheetKind::Chart && sheet.chart < 0) sheet.chart = it->second;
    }
}

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
    readCharts(package, book, sheet, drawingPart, drawing, colors, warnings);
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
