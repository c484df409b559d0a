#include "inventory/ReadFile.h"

#include "host/ReadFailure.h"
#include "host/Workbook.h"
#include "inventory/Content.h"
#include "inventory/Snapshot.h"
#include "inventory/WorkbookFacts.h"

#include <QElapsedTimer>
#include <new>

namespace tabulon::inventory {

namespace {

void fail(FileFacts& f, const QString& error, const QString& detail) {
    f.kind = FileKind::Failed;
    f.error = error;
    f.errorDetail = detail;
    f.modules.clear();
    f.findings.clear();
}

// The reader's own detail of a refusal, without the file name and the
// sentence the error column already holds.
QString technicalPart(const host::ReadError& e) {
    const QString marker = QStringLiteral(" 詳細: ");
    const qsizetype at = e.description().indexOf(marker);
    const QString technical = at < 0 ? QString() : e.description().mid(at + marker.size());
    return (technical + e.detail().text()).trimmed();
}

// What a refusal of the reader makes of the file. A container that holds no
// workbook is simply another file, unless its name says it is a workbook.
void refused(FileFacts& f, const host::ReadError& e) {
    switch (e.kind()) {
    case host::ReadFailure::NotWorkbook:
        if (!hasWorkbookName(f.path)) {
            f.kind = FileKind::Other;
            return;
        }
        break;
    case host::ReadFailure::TooOld:
        f.format = QStringLiteral("BIFF2-4");
        break;
    case host::ReadFailure::PasswordNeeded:
    case host::ReadFailure::PasswordWrong:
    case host::ReadFailure::UnknownEncryption:
        f.encrypted = true;
        break;
    default:
        break;
    }
    fail(f, host::readFailureText(e.kind()), technicalPart(e));
}

}  // namespace

FileFacts readFileFacts(const ReadRequest& request, const QString& scratch, qint64 keepBytes) {
    QElapsedTimer timer;
    timer.start();
    FileFacts f;
    f.path = request.path;
    f.size = request.size;
    f.mtimeNs = request.mtimeNs;
    try {
        const Snapshot snapshot(request.path, scratch, keepBytes);
        f.sha256 = snapshot.sha256();
        if (!snapshot.kept()) {
            fail(f, host::readFailureText(host::ReadFailure::OutOfMemory),
                 QStringLiteral("%1 bytes, more than the %2 bytes a worker may read").arg(snapshot.size()).arg(keepBytes));
        } else {
            // No password is asked for: only the default one is tried.
            const host::Workbook book = host::Workbook::load(snapshot.readPath(), {});
            f.kind = FileKind::Workbook;
            addWorkbookFacts(book, [&](const QString& p) { return snapshot.unmirror(p); }, f);
            addProjectFacts(book, f);
        }
    } catch (const host::ReadError& e) {
        refused(f, e);
    } catch (const Error& e) {
        fail(f, QStringLiteral("ブックを読めませんでした。"), e.text());
    } catch (const std::bad_alloc&) {
        fail(f, host::readFailureText(host::ReadFailure::OutOfMemory), QStringLiteral("out of memory"));
    } catch (const std::exception& e) {
        fail(f, QStringLiteral("ブックを読めませんでした。"), QString::fromLocal8Bit(e.what()));
    }
    f.readMs = timer.elapsed();
    return f;
}

}  // namespace tabulon::inventory
