#include "host/ooxml/BookParts.h"

#include "host/ooxml/package/Package.h"
#include "host/ooxml/sheet/Comments.h"
#include "host/ooxml/sheet/SheetParser.h"

namespace tabulon::ooxml {

void readSheetParts(const Package& package, model::Book& book, size_t index, const QString& sheetPart,
                    const SheetRefs& refs, const ColorResolver& colors, QStringList& warnings) {
    (void)refs, (void)colors;
    if (sheetPart.isEmpty()) return;
    model::Sheet& sheet = book.sheets[index];
    const Relationship* main = package.relationship(QString(), u"officeDocument");
    readComments(package, sheetPart, main ? main->part : QString(), sheet, warnings);
}

void readBookParts(const Package& package, const QString& workbookPart, model::Book& book) {
    (void)package, (void)workbookPart, (void)book;
}

}  // namespace tabulon::ooxml
