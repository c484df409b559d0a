#pragma once
// The shared strings part (ECMA-376 Part 1, 18.4): every string item's text,
// and for a rich one its runs, each run's font added to the workbook's fonts.
// Phonetic runs (furigana) are not part of the text.
#include "host/model/Cells.h"
#include "host/model/Formats.h"

#include <QString>
#include <map>
#include <vector>

namespace tabulon::ooxml {

class ColorResolver;
class Package;
class XmlElement;

struct SharedStrings {
    std::vector<QString> items;
    std::map<uint32_t, model::TextRuns> runs;
};

SharedStrings readSharedStrings(const Package& package, const QString& workbookPart, model::Formats& formats,
                                const ColorResolver& colors);

// Reads one string item (<si>, <is>, a comment's <text>) element by element:
// the text of its <t> elements outside phonetic runs, and runs with fonts.
class RichTextReader {
public:
    RichTextReader(model::Formats& formats, const ColorResolver& colors) : formats_(formats), colors_(colors) {}
    void start(const XmlElement& e);
    void end(std::string_view local);
    void text(std::string_view chars);
    // The item read so far, and clears for the next.
    QString take(model::TextRuns* runs = nullptr);
    bool empty() const { return text_.isEmpty(); }

private:
    model::Formats& formats_;
    const ColorResolver& colors_;
    QString text_;
    model::TextRuns runs_;
    model::Font font_;
    bool inT_ = false, inPhonetic_ = false, inRunProps_ = false, rich_ = false, runHasProps_ = false;
    qsizetype runStart_ = 0;
};

// "_x000D_" escapes of characters XML cannot hold, as the spreadsheet writes them.
QString unescapeXmlChars(QString text);

}  // namespace tabulon::ooxml
