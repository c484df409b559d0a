#pragma once
// Helpers of the workbook-chapter tests: a crafted or real workbook loaded
// into the host, a fresh analysis database and recording ports.
#include "analyses/workbook/WorkbookRun.h"
#include "code_support.h"
#include "host/Workbook.h"
#include "support/TestSupport.h"
#include "xlswriter/XlsWriter.h"

#include <QFileInfo>

#include <optional>

namespace tabulon::test::workbook {

using xlsw::XlsWriter;

using code::lines;

// A program folder with a workbook loaded into the host.
class BookSpace : public code::Workspace {
public:
    BookSpace() = default;
    // Loads a fixture workbook, or saves the crafted one and loads it.
    explicit BookSpace(const QString& fixture) : book_(host::Workbook::load(fixture)) {}
    explicit BookSpace(const XlsWriter& writer) { open(writer); }
    // Saves the workbook as folder()/name and loads it.
    void open(const XlsWriter& writer, const QString& name = QStringLiteral("Book1.xls")) {
        path_ = folder() + name;
        QDir().mkpath(QFileInfo(path_).absolutePath());
        writer.save(path_);
        book_.emplace(host::Workbook::load(path_));
    }
    void unload() { book_.reset(); }
    QString folder() const { return QDir(temp() + QStringLiteral("..")).absolutePath() + u'/'; }
    analyses::workbook::WorkbookContext context() {
        return {dbPath(), messages, progress, [this] { return book_ ? &*book_ : nullptr; }, path_, folder()};
    }

private:
    QString path_;
    std::optional<host::Workbook> book_;
};

}  // namespace tabulon::test::workbook
