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

class Bench {
public:
    // Loads `path` (a fixture) or, with a writer, the workbook it writes.
    explicit Bench(const QString& path) : book_(host::Workbook::load(path)) {}
    explicit Bench(const XlsWriter& writer) {
        const QString file = space_.dbPath() + QStringLiteral(".xls");
        writer.save(file);
        book_ = host::Workbook::load(file);
    }
    analyses::workbook::WorkbookContext context() {
        return {space_.dbPath(), space_.messages, space_.progress, [this] { return book_ ? &*book_ : nullptr; },
                {}, {}, {}};
    }
    std::vector<std::vector<QVariant>> rows(const QString& sql) { return space_.rows(sql); }
    code::Workspace& space() { return space_; }
    void unload() { book_.reset(); }

private:
    code::Workspace space_;
    std::optional<host::Workbook> book_;
};

using code::lines;

class BookSpace : public code::Workspace {
public:
    // Saves the workbook as folder()/name and loads it.
    void open(const XlsWriter& writer, const QString& name = QStringLiteral("Book1.xls")) {
        path_ = folder() + name;
        QDir().mkpath(QFileInfo(path_).absolutePath());
        writer.save(path_);
        book_.emplace(host::Workbook::load(path_));
    }
    QString folder() const { return QDir(temp() + QStringLiteral("..")).absolutePath() + u'/'; }
    analyses::workbook::WorkbookContext context() {
        return {dbPath(), messages, progress, [this] { return book_ ? &*book_ : nullptr; }, {}, path_, folder()};
    }

private:
    QString path_;
    std::optional<host::Workbook> book_;
};

}  // namespace tabulon::test::workbook
