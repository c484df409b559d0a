#include "intake/SaveFlags.h"

#include "common/Error.h"
#include "host/PathParts.h"
#include "store/Database.h"
#include "store/AnalysisTables.h"

namespace tabulon::intake {
namespace {

// One mark field of T_XlSaveFlag: the mark it holds, the highest value it
// can take (the value count of its option, 1 for the plain done marks), and
// the preview a mark other than 0 makes usable after loading.
struct MarkField {
    const char* field;
    Mark mark;
    int highest;
    std::optional<Command> preview;
};

// In the table's writing order.
const MarkField kMarkFields[] = {
    {"fObj", Mark::Object, kOptionCount<ObjectOption>, Command::PreviewObjects},
    {"fCel", Mark::Cell, kOptionCount<CellOption>, Command::PreviewCells},
    {"fPrc", Mark::Procedure, kOptionCount<ProcedureOption>, Command::PreviewProcedures},
    {"fSoc", Mark::Source, kOptionCount<ModuleSelection>, Command::PreviewSources},
    {"fShp", Mark::Shape, kOptionCount<ShapeSelection>, Command::PreviewShapes},
    {"fDim", Mark::Variables, 1, Command::VariableLists},
    {"fFil", Mark::File, kOptionCount<FileSelection>, Command::PreviewFiles},
    {"fCom", Mark::Comments, 1, Command::PreviewComments},
    {"fNam", Mark::Names, 1, Command::PreviewNames},
    {"fAdd", Mark::Addins, 1, Command::PreviewAddins},
    {"fSocS", Mark::ModuleSteps, 1, Command::PreviewModuleSteps},
    {"fCrs", Mark::Citations, 1, Command::PreviewCitations},
    {"mCs", Mark::CellSheet, kOptionCount<SheetSelection>, std::nullopt},
};

// The text fields after the marks, in writing order.
const char* const kTextFields[] = {"Title", "System", "Company", "Bumon", "Auther", "CreateDate"};

std::array<QString*, 6> textsOf(SaveFlag& f) {
    return {&f.title, &f.system, &f.company, &f.bumon, &f.auther, &f.createDate};
}

Error outOfRange(const char* field, qlonglong value) {
    return Error(3343, QStringLiteral("保存されたフラグ %1 の値 %2 は正しくありません。")
                           .arg(QLatin1String(field))
                           .arg(value));
}

int checkedValue(const QVariant& v, const char* field, int lowest, int highest) {
    if (!v.isValid())
        return 0;  // an empty field: nothing saved under it
    bool ok = false;
    const qlonglong value = v.toLongLong(&ok);
    if (!ok || value < lowest || value > highest)
        throw outOfRange(field, ok ? value : -1);
    return int(value);
}

// Chooses the option a mark stands for (0: nothing saved under it).
template <typename Option>
void choose(Session& s, int mark) {
    if (mark > 0)
        s.setOption(Option(mark));
}

}  // namespace

SaveFlag saveFlagOf(const Session& s) {
    SaveFlag f;
    f.objName = host::GetFileNamePart(s.workbookPath());
    for (int m = 0; m < kMarkCount; ++m)
        f.marks[size_t(m)] = s.mark(Mark(m));
    f.mSs = int(s.options().columns);
    const Cover& c = s.cover();
    f.title = c.title;
    f.system = c.system;
    f.company = c.company;
    f.bumon = c.bumon;
    f.auther = c.auther;
    f.createDate = c.date;
    return f;
}

void writeSaveFlag(store::Database& db, const SaveFlag& flag) {
    db.clearTable(QStringLiteral("T_XlSaveFlag"));
    auto t = db.openTable(QStringLiteral("T_XlSaveFlag"));
    t->addNew();
    t->set(QStringLiteral("ObjName"), flag.objName);
    for (const MarkField& m : kMarkFields)
        t->set(QLatin1String(m.field), flag.marks[size_t(m.mark)]);
    t->set(QStringLiteral("mSs"), flag.mSs);
    SaveFlag copy = flag;
    const auto texts = textsOf(copy);
    for (size_t i = 0; i < texts.size(); ++i)
        t->set(QLatin1String(kTextFields[i]), *texts[i]);
    t->update();
    t->close();
}

std::optional<SaveFlag> readSaveFlag(store::Database& db) {
    QStringList fields{QStringLiteral("ObjName")};
    for (const MarkField& m : kMarkFields)
        fields << QLatin1String(m.field);
    fields << QStringLiteral("mSs");
    for (const char* t : kTextFields)
        fields << QLatin1String(t);
    // Brackets, not double quotes: a double-quoted name the table lacks would
    // be read as a text constant instead of failing.
    const auto rows = db.query(QStringLiteral("SELECT [%1] FROM T_XlSaveFlag ORDER BY ID LIMIT 1")
                                   .arg(fields.join(QStringLiteral("], ["))));
    if (rows.empty())
        return std::nullopt;
    const auto& row = rows.front();
    SaveFlag f;
    size_t at = 0;
    f.objName = row[at++].toString();
    for (const MarkField& m : kMarkFields)
        f.marks[size_t(m.mark)] = checkedValue(row[at++], m.field, 0, m.highest);
    f.mSs = checkedValue(row[at++], "mSs", 0, kOptionCount<SourceColumns>);
    for (QString* text : textsOf(f))
        *text = row[at++].toString();
    const int cell = f.marks[size_t(Mark::Cell)];
    if (cell != 0 && f.marks[size_t(Mark::CellSheet)] == 0)
        throw outOfRange("mCs", 0);
    return f;
}

QStringList tablesOfMark(Mark mark) {
    switch (mark) {
    case Mark::Object: return {"T_XlBook", "T_XlObject", "T_XlLink"};
    case Mark::Cell: return {"T_XlCalc"};
    case Mark::Procedure: return {"T_XlProcName", "T_XlDimCall"};
    case Mark::Source: return {"T_XlSource"};
    case Mark::Shape: return {"T_XlShape"};
    case Mark::File: return {"T_XlFile"};
    case Mark::CellSheet: return {};
    case Mark::Variables: return {"T_XlHensu"};
    case Mark::Comments: return {"T_XlComment"};
    case Mark::Names: return {"T_XlName"};
    case Mark::Addins: return {"T_XlAddin"};
    case Mark::ModuleSteps: return {"T_XlModStep"};
    case Mark::Citations: return {"T_XlLinkModule"};
    }
    return {};
}

void clearMarksOfTables(SaveFlag& flag, const QStringList& tables) {
    for (int m = 0; m < kMarkCount; ++m) {
        for (const QString& t : tablesOfMark(Mark(m)))
            if (tables.contains(t))
                flag.marks[size_t(m)] = 0;
    }
    if (flag.marks[size_t(Mark::Cell)] == 0)
        flag.marks[size_t(Mark::CellSheet)] = 0;
}

void PrintSet(Session& s, const SaveFlag& f) {
    for (int m = 0; m < kMarkCount; ++m)
        s.setMark(Mark(m), f.marks[size_t(m)]);
    Cover cover = s.cover();
    cover.title = f.title;
    cover.system = f.system;
    cover.company = f.company;
    cover.bumon = f.bumon;
    cover.auther = f.auther;
    cover.date = f.createDate;
    s.setCover(cover);
    // The column option is restored whatever the source mark: it decides
    // which listing the source preview shows.
    choose<SourceColumns>(s, f.mSs);
    const auto markOf = [&f](Mark m) { return f.marks[size_t(m)]; };
    choose<ObjectOption>(s, markOf(Mark::Object));
    if (markOf(Mark::Cell) != 0) {
        choose<CellOption>(s, markOf(Mark::Cell));
        choose<SheetSelection>(s, markOf(Mark::CellSheet));
    }
    choose<ProcedureOption>(s, markOf(Mark::Procedure));
    choose<ModuleSelection>(s, markOf(Mark::Source));
    choose<FileSelection>(s, markOf(Mark::File));
    // Choosing an option makes its preview unusable; enable after.
    for (const MarkField& m : kMarkFields) {
        if (markOf(m.mark) != 0 && m.preview)
            s.setEnabled(*m.preview, true);
    }
    s.setEnabled(Command::Cover, true);
}

}  // namespace tabulon::intake
