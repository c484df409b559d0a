#include "host/ooxml/binary/BinaryBook.h"

#include "common/Error.h"
#include "host/ooxml/binary/Records.h"
#include "host/ooxml/book/ExternalLinks.h"
#include "host/ooxml/package/Package.h"
#include "host/xls/Readers.h"

#include <QFileInfo>

namespace tabulon::ooxml {

namespace {

constexpr uint64_t kMaxWorkbookBytes = 256u << 20;
constexpr uint64_t kMaxLinkBytes = 256u << 20;

namespace brt {
constexpr uint32_t Name = 0x27, WbProp = 0x99, BundleSh = 0x9C;
constexpr uint32_t SupBookSrc = 0x163, SupSelf = 0x165, SupSame = 0x166, SupTabs = 0x167, BeginSupBook = 0x168,
                   PlaceholderName = 0x169;
constexpr uint32_t ExternSheet = 0x16A, SupNameStart = 0x241, SupAddin = 0x29B;
}  // namespace brt

// The name's tokens as a NameParsedFormula stores them: a 32-bit count of
// token bytes, the tokens, a 32-bit count of extra bytes, the extra bytes.
void takeFormula(xls::ByteCursor& c, std::vector<uint8_t>& rgce, std::vector<uint8_t>& extra) {
    const uint32_t cce = c.u32();
    const uint8_t* tokens = c.take(cce);
    rgce.assign(tokens, tokens + cce);
    const uint32_t cb = c.u32();
    const uint8_t* more = c.take(cb);
    extra.assign(more, more + cb);
}

// BrtName: flags, a shortcut key, the sheet (0xFFFFFFFF for the workbook),
// the name, its formula.
xls::NameModel readName(xls::ByteCursor& c) {
    xls::NameModel n;
    const uint32_t flags = c.u32();
    n.hidden = flags & 0x01;
    n.vbaMacro = flags & 0x04;  // fOB
    n.builtin = flags & 0x20;
    c.skip(1);
    const uint32_t itab = c.u32();
    n.sheetIndex = itab == 0xFFFFFFFFu || itab > 0xFFFF ? 0 : int(itab) + 1;
    n.name = wideString(c);
    if (n.name.startsWith(QStringLiteral("_xlnm."), Qt::CaseInsensitive)) {
        n.name = n.name.mid(6);
        n.builtin = true;
    } else if (n.builtin && n.name.size() == 1 && n.name.at(0).unicode() < 0x20) {
        n.name = xls::builtinNameText(n.name.at(0).unicode());
    }
    takeFormula(c, n.rgce, n.extra);
    return n;
}

// An external link part: the linked book (through the part's relationship),
// a DDE or OLE link, with the book's sheet and name lists.
xls::SupBookModel readLinkPart(const Package& package, const QString& part, const QString& bookFolder) {
    xls::SupBookModel sb;
    sb.kind = xls::SupBookKind::External;
    const QByteArray bytes = package.read(part, kMaxLinkBytes);
    RecordReader records(bytes, part);
    BinaryRecord r;
    while (records.next(r)) {
        xls::ByteCursor c = r.cursor();
        try {
            switch (r.type) {
            case brt::BeginSupBook: {
                const uint16_t kind = c.u16();  // 0 a workbook, 1 DDE, 2 OLE
                const QString first = wideString(c);
                const QString second = c.atEnd() ? QString() : nullableWideString(c);
                const Relationship* target = package.relationshipById(part, first);
                if (kind == 1) {
                    sb.kind = xls::SupBookKind::OleDde;
                    sb.path = first + u'|' + second;
                } else if (kind == 2) {
                    sb.kind = xls::SupBookKind::OleDde;
                    sb.path = second + u'|' + (target ? linkedBookPath(target->target, QString()) : QString());
                } else if (target) {
                    sb.path = linkedBookPath(target->target, bookFolder);
                }
                break;
            }
            case brt::SupTabs: {
                const uint32_t count = c.u32();
                for (uint32_t i = 0; i < count && !c.atEnd(); ++i) sb.sheetNames << wideString(c);
                break;
            }
            case brt::SupNameStart: sb.names.push_back({wideString(c)}); break;
            default: break;
            }
        } catch (const xls::FormatError& e) {
            package.warn(QStringLiteral("%1: record 0x%2 unreadable: %3").arg(part).arg(r.type, 4, 16, QLatin1Char('0')).arg(e.reason()));
        }
    }
    return sb;
}

}  // namespace

BinaryBook readBinaryWorkbook(const Package& package, const QString& part) {
    BinaryBook out;
    xls::Globals& g = out.tables;
    g.biff = 12;
    g.codePage = 1200;
    g.path = package.path();
    const QString bookFolder = QFileInfo(package.path()).absolutePath();
    const QByteArray bytes = package.read(part, kMaxWorkbookBytes);
    RecordReader records(bytes, part);
    BinaryRecord r;
    try {
        while (records.next(r)) {
            xls::ByteCursor c = r.cursor();
            try {
                switch (r.type) {
                case brt::BundleSh: {
                    SheetEntry s;
                    const uint32_t state = c.u32();
                    s.visibility = state == 1 ? 1 : state == 2 ? 2 : 0;
                    c.skip(4);  // iTabID
                    s.relId = nullableWideString(c);
                    s.name = wideString(c);
                    g.boundSheetNames << s.name;
                    out.sheets.push_back(s);
                    break;
                }
                case brt::WbProp: {
                    g.date1904 = c.u32() & 0x01;
                    if (c.remaining() > 4) {  // the theme version, then the code name
                        c.skip(4);
                        g.codeName = wideString(c);
                    }
                    break;
                }
                case brt::Name: g.names.push_back(readName(c)); break;
                case brt::SupSelf:
                case brt::SupSame: g.supBooks.push_back({}); break;
                case brt::SupAddin: g.supBooks.push_back({xls::SupBookKind::AddIn, {}, {}, {}}); break;
                // The names a link of this workbook's own or of add-in
                // functions lists after it, as formulas name them by number.
                case brt::PlaceholderName:
                    if (!g.supBooks.empty()) g.supBooks.back().names.push_back({wideString(c)});
                    break;
                case brt::SupBookSrc: {
                    const QString id = nullableWideString(c);
                    const Relationship* link = package.relationshipById(part, id);
                    xls::SupBookModel sb{xls::SupBookKind::External, {}, {}, {}};
                    if (link && !link->external && package.hasPart(link->part)) {
                        try {
                            sb = readLinkPart(package, link->part, bookFolder);
                        } catch (const Error& e) {
                            package.warn(e.description());
                        }
                    } else {
                        package.warn(QStringLiteral("external reference %1 has no link part").arg(id));
                    }
                    g.supBooks.push_back(std::move(sb));
                    break;
                }
                case brt::ExternSheet: {
                    const uint32_t count = c.u32();
                    for (uint32_t i = 0; i < count; ++i) {
                        xls::XtiModel x;
                        x.supBook = int(std::min<uint32_t>(c.u32(), 0x7FFFFFFF));
                        x.firstTab = c.i32();
                        x.lastTab = c.i32();
                        g.xti.push_back(x);
                    }
                    break;
                }
                default: break;
                }
            } catch (const xls::FormatError& e) {
                package.warn(QStringLiteral("%1: record 0x%2 at offset %3 unreadable: %4")
                                 .arg(part).arg(r.type, 4, 16, QLatin1Char('0')).arg(r.offset).arg(e.reason()));
            }
        }
    } catch (const Error& e) {
        // What came before the damage stays, as long as it names the sheets.
        if (out.sheets.empty()) throw;
        package.warn(e.description());
    }
    g.boundSheetToSheet.resize(out.sheets.size());
    for (size_t i = 0; i < out.sheets.size(); ++i) g.boundSheetToSheet[i] = int(i);
    return out;
}

}  // namespace tabulon::ooxml
