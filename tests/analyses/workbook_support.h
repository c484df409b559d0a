#pragma once
// Helpers of the workbook-chapter tests: a crafted workbook saved into a
// scratch folder, loaded by the reader, and the context a command runs in.
#include "analyses/workbook/WorkbookCommand.h"
#include "code_support.h"
#include "support/XlsWriter.h"

#include <QFileInfo>
#include <optional>

namespace tabulon::test::workbook {

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
        base_.emplace(Workspace::context(0));
        return {*base_, [this] { return book_ ? &*book_ : nullptr; }, path_, 0, folder()};
    }

private:
    QString path_;
    std::optional<host::Workbook> book_;
    std::optional<analyses::code::CodeContext> base_;
};

}  // namespace tabulon::test::workbook
