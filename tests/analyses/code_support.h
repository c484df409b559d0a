#pragma once
// Helpers of the code-analysis tests: a working folder holding exported
// module files (UTF-8, CRLF, as the exporter writes them), recording ports
// and a fresh analysis database.
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

    // Writes lines joined and ended by CR LF (no terminator after the last
    // line when `finalNewline` is false).
    void write(const QString& name, const QStringList& lines, bool finalNewline = true) {
        QString text = lines.join(QStringLiteral("\r\n"));
        if (finalNewline && !lines.isEmpty()) text += QStringLiteral("\r\n");
        writeBytes(name, text.toUtf8());
    }
    void writeBytes(const QString& name, const QByteArray& bytes) {
        QFile f(temp_ + name);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }

    analyses::code::CodeContext context(int standard, int classes = 0, int forms = 0) {
        return analyses::code::CodeContext{temp_, db_, {standard, classes, forms},
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
