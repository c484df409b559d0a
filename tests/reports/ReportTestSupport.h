#pragma once
// Shared scaffolding of the report tests: a fresh analysis database in a
// temporary folder, row seeding through the store, and the text of a PDF.
#include "common/Ports.h"
#include "store/Database.h"

#include <QProcess>
#include <QRect>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>
#include <cstdio>
#include <utility>
#include <vector>

namespace tabulon::reports::test {

using Row = std::vector<std::pair<QString, QVariant>>;

// The label of the i-th row of a long name list, found once in a PDF's text.
inline QString nameLabel(int i) { return QStringLiteral("名前%1x").arg(i, 4, 10, QChar('0')); }

// Keeps the text of every message box the code under test shows; answers Ok.
class ScriptedMessages : public MessagePort {
public:
    Answer message(const QString& text, Buttons) override {
        texts << text;
        return Answer::Ok;
    }
    QStringList texts;
};

class ReportDb {
public:
    ReportDb() : path_(dir_.filePath(QStringLiteral("Tabulon2.mdb"))) {
        store::Database::create(path_);
        // For looking at the pages of a failing test.
        if (qEnvironmentVariableIsSet("TABULON_KEEP_REPORTS")) {
            dir_.setAutoRemove(false);
            std::fprintf(stderr, "report files in %s\n", qPrintable(dir_.path()));
        }
    }
    const QString& path() const { return path_; }
    QString file(const QString& name) const { return dir_.filePath(name); }

    void add(const QString& table, const std::vector<Row>& rows) {
        auto db = store::Database::open(path_);
        {
            auto t = db->openTable(table);
            for (const Row& r : rows) {
                t->addNew();
                for (const auto& [field, value] : r) t->set(field, value);
                t->update();
            }
        }
        db->commit();
    }
    // count rows of the name list, labelled nameLabel(1) to nameLabel(count).
    void names(int count) {
        std::vector<Row> rows;
        for (int i = 1; i <= count; ++i) rows.push_back({{"LabelName", nameLabel(i)}, {"SheetMei", "S"}, {"StCell", "A1"}});
        add(QStringLiteral("T_XlName"), rows);
    }
    void title(const QString& text) { add(QStringLiteral("T_XlTitle"), {{{"FileName", text}}}); }

private:
    QTemporaryDir dir_;
    QString path_;
};

// Text of a PDF (or of one region of one page, in points from the top-left).
inline QString pdfText(const QString& pdf, int page = 0, QRect region = {}) {
    QStringList args;
    if (page > 0) args << "-f" << QString::number(page) << "-l" << QString::number(page);
    if (!region.isNull())
        args << "-x" << QString::number(region.x()) << "-y" << QString::number(region.y())
             << "-W" << QString::number(region.width()) << "-H" << QString::number(region.height());
    args << "-enc" << "UTF-8" << pdf << "-";
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// What pdfinfo says of a PDF, its complaints included.
inline QString pdfInfo(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

inline int pdfPages(const QString& pdf) {
    for (const QString& line : pdfInfo(pdf).split('\n'))
        if (line.startsWith(QLatin1String("Pages:"))) return line.mid(6).trimmed().toInt();
    return -1;
}

}  // namespace tabulon::reports::test
