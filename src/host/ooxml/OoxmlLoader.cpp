#include "host/ooxml/OoxmlLoader.h"

#include "common/Error.h"
#include "host/ReadFailure.h"
#include "host/cfb/CompoundFile.h"
#include "host/ooxml/BookParts.h"
#include "host/ooxml/binary/BinaryLoader.h"
#include "host/ooxml/book/Colors.h"
#include "host/ooxml/book/ExternalLinks.h"
#include "host/ooxml/book/Properties.h"
#include "host/ooxml/book/SharedStrings.h"
#include "host/ooxml/book/Styles.h"
#include "host/ooxml/book/WorkbookPart.h"
#include "host/ooxml/crypto/EncryptedPackage.h"
#include "host/ooxml/formula/FormulaText.h"
#include "host/ooxml/package/Package.h"
#include "host/ooxml/sheet/SheetParser.h"
#include "host/ooxml/xml/XmlStream.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>

namespace tabulon::ooxml {

namespace {

// A worksheet part may be large; the package's inflation budget bounds the
// whole, this bounds one part (the format's own limit is 2 GB).
constexpr uint64_t kMaxSheetBytes = ZipArchive::kMaxPartBytes;

model::SheetKind kindOfRelationship(const QString& kind) {
    if (kind == u"chartsheet") return model::SheetKind::Chart;
    if (kind == u"dialogsheet") return model::SheetKind::Dialog;
    if (kind == u"xlMacrosheet" || kind == u"xlIntlMacrosheet") return model::SheetKind::MacroSheet;
    return model::SheetKind::Worksheet;
}

// "_xlnm.Print_Area" -> "Print_Area": built-in names as the spreadsheet spells them.
QString shownName(const QString& stored, bool* builtin) {
    *builtin = stored.startsWith(QStringLiteral("_xlnm."), Qt::CaseInsensitive);
    return *builtin ? stored.mid(6) : stored;
}

void fillNames(model::Book& book, const WorkbookInfo& info, const std::vector<ExternalBook>& books) {
    for (const DefinedName& d : info.names) {
        model::Name n;
        n.name = shownName(d.name, &n.builtin);
        n.hidden = d.hidden;
        n.vbaMacro = d.vbProcedure;
        if (d.localSheet >= 0 && size_t(d.localSheet) < book.sheets.size()) {
            n.sheetLevel = true;
            n.sheet = book.sheets[size_t(d.localSheet)].name;
            n.sheetIndex = d.localSheet;
        }
        const QString shown = displayFormula(d.formula.trimmed(), books);
        n.refersTo = u'=' + shown;
        if (const auto areas = referenceAreas(shown)) {
            std::vector<model::Area> list;
            for (const RefArea& a : *areas) list.push_back({a.firstRow, a.lastRow, a.firstCol, a.lastCol});
            n.areas = std::move(list);
        }
        book.names.push_back(std::move(n));
    }
}

struct SheetJob {
    QString part;
    model::SheetKind kind = model::SheetKind::Worksheet;
    SheetRefs refs;
    QStringList warnings;
};

// The shared strings' count once they are read: a sheet settling its cells
// waits for it.
class StringsRead {
public:
    void settle(size_t count) {
        {
            std::lock_guard<std::mutex> hold(lock_);
            count_ = count;
            ready_ = true;
        }
        ready.notify_all();
    }
    size_t count() {
        std::unique_lock<std::mutex> hold(lock_);
        ready.wait(hold, [this] { return ready_; });
        return count_;
    }

private:
    std::mutex lock_;
    std::condition_variable ready;
    size_t count_ = 0;
    bool ready_ = false;
};

// Reads the shared strings and the worksheet parts side by side, each sheet
// on its own handle of the package. The strings come first, so no sheet
// waits for a job not yet begun; the largest sheets follow, so the last ones
// left to a thread are short.
void readSheetsTogether(const Package& package, const QString& workbookPart, model::Book& book, std::vector<SheetJob>& jobs,
                        SheetContext ctx, const ColorResolver& colors) {
    StringsRead strings;
    ctx.sharedStringCount = [&strings] { return strings.count(); };
    std::vector<size_t> order(jobs.size());
    std::vector<uint64_t> sizes(jobs.size(), 0);
    for (size_t i = 0; i < jobs.size(); ++i) {
        order[i] = i;
        if (const ZipEntry* entry = package.zip().find(jobs[i].part); entry && !jobs[i].part.isEmpty()) sizes[i] = entry->size;
    }
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return sizes[a] > sizes[b]; });
    readSideBySide(package, jobs.size() + 1, [&](size_t n, ZipArchive& zip) {
        if (n == 0) {
            SharedStrings sst;
            try {
                sst = readSharedStrings(package, workbookPart, book.formats, colors);
            } catch (...) {
                strings.settle(0);
                throw;
            }
            book.sharedStrings = std::move(sst.items);
            book.sharedRuns = std::move(sst.runs);
            strings.settle(book.sharedStrings.size());
            return;
        }
        const size_t i = order[n - 1];
        SheetJob& job = jobs[i];
        if (job.part.isEmpty() || job.kind == model::SheetKind::Chart) return;
        const ZipEntry* entry = zip.find(job.part);
        if (!entry) {
            job.warnings << QStringLiteral("sheet '%1': its part %2 is missing").arg(book.sheets[i].name, job.part);
            return;
        }
        WorksheetParser parser(ctx, book.sheets[i], job.refs, job.warnings);
        try {
            parsePart(zip, *entry, parser.handler(), kMaxSheetBytes, false, "sheetData");
        } catch (const Error& e) {
            // What was read before the damage stays.
            job.warnings << QStringLiteral("sheet '%1' read as far as it goes: %2").arg(book.sheets[i].name, e.description());
        }
        parser.finish();
    });
}

}  // namespace

void readSideBySide(const Package& package, size_t count, const std::function<void(size_t, ZipArchive&)>& job) {
    std::vector<std::exception_ptr> failures(count);
    std::atomic<size_t> next{0};
    auto work = [&] {
        std::optional<ZipArchive> zip;
        for (size_t i = next++; i < count; i = next++) {
            try {
                if (!zip) zip.emplace(package.zip().reopen());
                job(i, *zip);
            } catch (...) {
                failures[i] = std::current_exception();
            }
        }
    };
    const size_t cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> helpers;
    for (size_t n = 1; n < std::min(cores, count); ++n) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // no more threads: the ones running take the rest
        }
    }
    work();
    for (std::thread& t : helpers) t.join();
    for (const std::exception_ptr& f : failures)
        if (f) std::rethrow_exception(f);
}

QString extensionOfContentType(const QString& type) {
    const QString t = type.toLower();
    if (t == u"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml") return QStringLiteral(".xlsx");
    if (t == u"application/vnd.ms-excel.sheet.macroenabled.main+xml") return QStringLiteral(".xlsm");
    if (t == u"application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml") return QStringLiteral(".xltx");
    if (t == u"application/vnd.ms-excel.template.macroenabled.main+xml") return QStringLiteral(".xltm");
    if (t == u"application/vnd.ms-excel.addin.macroenabled.main+xml") return QStringLiteral(".xlam");
    return QString();
}

model::Book loadPackage(const QString& path, const PackageBytes& bytes, bool encrypted) {
    return loadPackage(ZipArchive(bytes, path), encrypted);
}

model::Book loadPackage(ZipArchive zip, bool encrypted) {
    const QString path = zip.path();
    const Package package{std::move(zip)};
    const Relationship* main = package.relationship(QString(), u"officeDocument");
    if (!main || main->part.isEmpty() || !package.hasPart(main->part))
        host::raiseReadFailure(host::ReadFailure::NotWorkbook, path, QStringLiteral("the package has no main part"));
    const QString workbookPart = main->part;
    const QString contentType = package.contentType(workbookPart);
    QString extension = extensionOfContentType(contentType);
    const bool binary = extension.isEmpty() && contentType.contains(QStringLiteral("binary"), Qt::CaseInsensitive);
    if (extension.isEmpty() && !binary) {
        // Some writers leave the content type out: a workbook part is still one.
        if (!contentType.isEmpty() && !contentType.contains(QStringLiteral("spreadsheetml"), Qt::CaseInsensitive))
            host::raiseReadFailure(host::ReadFailure::NotWorkbook, path,
                                   QStringLiteral("the package holds no workbook (%1)").arg(contentType));
        extension = QStringLiteral(".xlsx");
    }

    model::Book book;
    book.path = QFileInfo(path).absoluteFilePath();
    book.format.name = binary ? QStringLiteral("OOXML binary") : QStringLiteral("OOXML");
    book.format.detail = binary ? QStringLiteral(".xlsb") : extension;
    book.encrypted = encrypted;
    book.codePage = 1200;
    book.lastRow = 1048575;
    book.lastCol = 16383;
    if (binary) {
        readBinaryPackage(package, workbookPart, book);
        return book;
    }

    WorkbookInfo info;
    try {
        info = readWorkbookPart(package, workbookPart);
    } catch (const Error& e) {
        host::raiseReadFailure(host::ReadFailure::Damaged, path, e.description());
    }
    book.codeName = info.codeName;

    ColorResolver colors;
    colors.theme = readTheme(package, workbookPart);
    book.formats = readStyles(package, workbookPart, colors);
    book.formats.date1904 = info.date1904;
    if (colors.palette != ColorResolver().palette) book.palette = colors.palette;

    const ExternalLinks links = readExternalLinks(package, workbookPart, info.externalRefs, QFileInfo(book.path).absolutePath());
    book.links = links.links;

    const std::vector<QString> sheetParts = addListedSheets(package, workbookPart, info.sheets, book);
    std::vector<SheetJob> jobs(sheetParts.size());
    for (size_t i = 0; i < jobs.size(); ++i) {
        jobs[i].kind = book.sheets[i].kind;
        jobs[i].part = sheetParts[i];
    }
    SheetContext ctx;
    ctx.books = &links.books;
    ctx.date1904 = info.date1904;
    readSheetsTogether(package, workbookPart, book, jobs, ctx, colors);
    for (size_t i = 0; i < jobs.size(); ++i) readSheetParts(package, book, i, jobs[i].part, jobs[i].refs, colors, jobs[i].warnings);

    fillNames(book, info, links.books);
    for (const SheetJob& job : jobs)
        for (const QString& f : job.refs.addInFunctions)
            if (!book.addInFunctions.contains(f, Qt::CaseInsensitive)) book.addInFunctions << f;
    for (const DefinedName& d : info.names) addInCalls(d.formula, book.addInFunctions);
    readProperties(package, book.properties);
    readBookParts(package, workbookPart, book);
    const QStringList parts = book.warnings;
    book.warnings = package.warnings();
    for (const SheetJob& job : jobs) book.warnings << job.warnings;
    book.warnings << parts;
    return book;
}

std::vector<QString> addListedSheets(const Package& package, const QString& workbookPart,
                                     const std::vector<SheetEntry>& sheets, model::Book& book) {
    std::vector<QString> parts(sheets.size());
    for (size_t i = 0; i < sheets.size(); ++i) {
        const SheetEntry& entry = sheets[i];
        model::Sheet& sheet = book.sheets.emplace_back();
        sheet.name = entry.name;
        sheet.visibility = entry.visibility;
        if (const Relationship* r = package.relationshipById(workbookPart, entry.relId)) {
            sheet.kind = kindOfRelationship(r->kind());
            parts[i] = r->part;
        } else {
            package.warn(QStringLiteral("sheet '%1' has no part (relationship %2)").arg(entry.name, entry.relId));
        }
    }
    return parts;
}

bool isZipFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = file.read(4);
    return looksLikeZip(head.constData(), size_t(head.size()));
}

model::Book loadEncryptedPackage(const cfb::CompoundFile& file, const QString& path, const host::PasswordAsk& ask) {
    return loadPackage(path, PackageBytes::of(decryptPackage(file, path, ask)), true);
}

model::Book loadOoxmlWorkbook(const QString& path, const host::PasswordAsk& ask) {
    PackageBytes bytes = PackageBytes::ofFile(path);
    if (looksLikeZip(bytes.data, bytes.size)) return loadPackage(path, bytes);
    const cfb::CompoundFile file(path);
    if (!holdsEncryptedPackage(file))
        host::raiseReadFailure(host::ReadFailure::NotWorkbook, path, QStringLiteral("neither a zip package nor an encrypted one"));
    return loadEncryptedPackage(file, path, ask);
}

}  // namespace tabulon::ooxml
