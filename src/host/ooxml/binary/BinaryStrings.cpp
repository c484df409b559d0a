// The shared strings (MS-XLSB 2.1.7.48, BrtSSTItem) and comments (2.1.7.8:
// BrtCommentAuthor, BrtBeginComment, BrtCommentText) of a binary workbook.
#include "host/ooxml/binary/BinaryParts.h"

#include "common/Error.h"
#include "host/ooxml/binary/Records.h"
#include "host/ooxml/package/Package.h"

namespace tabulon::ooxml {

namespace {

constexpr uint64_t kMaxStringsBytes = 1024u << 20;
constexpr uint64_t kMaxCommentBytes = 256u << 20;

namespace brt {
constexpr uint32_t SstItem = 0x13, CommentAuthor = 0x278, BeginComment = 0x27B, EndComment = 0x27C, CommentText = 0x27D;
}

QString recordDamage(const QString& part, const BinaryRecord& r, const xls::FormatError& e) {
    return QStringLiteral("%1: record 0x%2 at offset %3 unreadable: %4")
        .arg(part).arg(r.type, 4, 16, QLatin1Char('0')).arg(r.offset).arg(e.reason());
}

}  // namespace

SharedStrings readBinarySharedStrings(const Package& package, const QString& workbookPart) {
    SharedStrings out;
    const Relationship* rel = package.relationship(workbookPart, u"sharedStrings");
    if (!rel || rel->part.isEmpty() || !package.hasPart(rel->part)) return out;
    try {
        const QByteArray bytes = package.read(rel->part, kMaxStringsBytes);
        RecordReader records(bytes, rel->part);
        BinaryRecord r;
        while (records.next(r)) {
            if (r.type != brt::SstItem) continue;
            xls::ByteCursor c = r.cursor();
            try {
                RichText item = richText(c);
                if (!item.runs.empty()) out.runs.emplace(uint32_t(out.items.size()), std::move(item.runs));
                out.items.push_back(std::move(item.text));
            } catch (const xls::FormatError& e) {
                // The item keeps its place: later cells count on it.
                package.warn(recordDamage(rel->part, r, e));
                out.items.emplace_back();
            }
        }
    } catch (const Error& e) {
        package.warn(QStringLiteral("%1 (%2 strings read)").arg(e.description()).arg(out.items.size()));
    }
    return out;
}

void readBinaryComments(const Package& package, const QString& part, std::map<std::pair<int, int>, model::Note>& notes,
                        QStringList& warnings) {
    try {
        const QByteArray bytes = package.read(part, kMaxCommentBytes);
        RecordReader records(bytes, part);
        BinaryRecord r;
        QStringList authors;
        model::Note note;
        std::pair<int, int> at{-1, -1};
        while (records.next(r)) {
            xls::ByteCursor c = r.cursor();
            try {
                switch (r.type) {
                case brt::CommentAuthor: authors << wideString(c); break;
                case brt::BeginComment: {
                    const uint32_t author = c.u32();
                    const model::Area area = readArea(c);
                    at = {area.firstRow, area.firstCol};
                    note = model::Note{QString(), author < uint32_t(authors.size()) ? authors.at(qsizetype(author)) : QString()};
                    break;
                }
                case brt::CommentText: note.text = richText(c).text; break;
                case brt::EndComment:
                    if (at.first >= 0) notes[at] = note;
                    at = {-1, -1};
                    break;
                default: break;
                }
            } catch (const xls::FormatError& e) {
                warnings << recordDamage(part, r, e);
            }
        }
    } catch (const Error& e) {
        warnings << e.description();
    }
}

}  // namespace tabulon::ooxml
