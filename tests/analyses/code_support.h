#pragma once
// Helpers of the code-analysis tests: the modules of a project given by their
// exported file names and texts (CRLF, as the exporter writes them),
// recording ports and a fresh analysis database.
#include "analyses/code/CodeCommand.h"
#include "store/Database.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace tabulon::test::code {

class RecordingProgress : public ProgressPort {
public:
    void status(const QString& text) override { statuses.push_back(text); }
    void progress(int percent) override { values.push_back(percent); }
    void showGauge(bool) override {}
    void busy(bool on) override { busyNow = on; ++busyChanges; }
    std::vector<QString> statuses;
    std::vector<int> values;
    bool busyNow = false;
    int busyChanges = 0;
};

class RecordingMessages : public MessagePort {
public:
    Answer message(const QString& text, Buttons) override {
        shown.push_back(text);
        return Answer::Ok;
    }
    std::vector<QString> shown;
};

// A program folder with its "temp/" working folder and a database file.
class Workspace {
public:
    Workspace() {
        QDir(dir_.path()).mkpath(QStringLiteral("temp"));
        temp_ = dir_.path() + QStringLiteral("/temp/");
        db_ = dir_.path() + QStringLiteral("/Tabulon2.mdb");
        store::Database::create(db_);
    }
    const QString& temp() const { return temp_; }
    const QString& dbPath() const { return db_; }

    // A module given by its exported file name ("Module1.bas") and lines,
    // joined and ended by CR LF (no terminator after the last line when
    // `finalNewline` is false). A later module of the same name replaces it.
    void write(const QString& name, const QStringList& lines, bool finalNewline = true) {
        QString text = lines.join(QStringLiteral("\r\n"));
        if (finalNewline && !lines.isEmpty()) text += QStringLiteral("\r\n");
        std::erase_if(modules_, [&](const analyses::code::CodeModule& m) { return m.fileName == name; });
        analyses::code::CodeModule m = analyses::code::codeModule(name, text);
        if (m.kind) modules_.push_back(std::move(m));
        analyses::code::putInVisitingOrder(modules_);
    }
    void setModules(analyses::code::CodeModules modules) { modules_ = std::move(modules); }

    analyses::code::CodeContext context(int standard, int classes = 0, int forms = 0) {
        return analyses::code::CodeContext{modules_, db_, {standard, classes, forms, {}},
                                            messages, progress, cursor};
    }
    std::vector<std::vector<QVariant>> rows(const QString& sql) {
        auto db = store::Database::open(db_);
        return db->query(sql);
    }

    RecordingProgress progress;
    RecordingMessages messages;
    analyses::code::SourceCursor cursor;

private:
    QTemporaryDir dir_;
    QString temp_;
    QString db_;
    analyses::code::CodeModules modules_;
};

// Rows of a query, one "a|b|c" line each; an empty field shows as `null`.
inline QStringList lines(const std::vector<std::vector<QVariant>>& rows, const QString& null = {}) {
    QStringList out;
    for (const auto& row : rows) {
        QStringList cells;
        for (const QVariant& v : row) cells << (v.isNull() ? null : v.toString());
        out << cells.join(u'|');
    }
    return out;
}

// The header lines every exported class, workbook and sheet module starts with.
inline QStringList classHeader(const QString& name) {
    return {QStringLiteral("VERSION 1.0 CLASS"), QStringLiteral("BEGIN"),
            QStringLiteral("  MultiUse = -1  'True"), QStringLiteral("END"),
            QStringLiteral("Attribute VB_Name = \"%1\"").arg(name),
            QStringLiteral("Attribute VB_GlobalNameSpace = False"),
            QStringLiteral("Attribute VB_Creatable = False"),
            QStringLiteral("Attribute VB_PredeclaredId = True"),
            QStringLiteral("Attribute VB_Exposed = True")};
}
inline QStringList standardHeader(const QString& name) {
    return {QStringLiteral("Attribute VB_Name = \"%1\"").arg(name)};
}

}  // namespace tabulon::test::code
