// Every analysis table exists with the fields its analysis writes; the
// reports and the saved-results loader read them by these names.
#include "StoreTestSupport.h"

#include "store/ResetStatements.h"

#include <map>

namespace tabulon::store::test {
namespace {

class SchemaTest : public StoreTest {
protected:
    // field name -> declared type
    std::map<QString, QString> fieldsOf(const QString& table) {
        auto db = Database::open(path());
        std::map<QString, QString> out;
        for (const auto& row :
             db->query(QStringLiteral("SELECT name, type FROM pragma_table_info(?)"), {table}))
            out[row[0].toString()] = row[1].toString();
        return out;
    }
};

TEST_F(SchemaTest, EveryTableHasItsKeyFields) {
    const std::map<QString, QStringList> expected = {
        {"T_XlTitle", {"FileName"}},
        {"T_XlHyousi", {"SysTitle", "SysName", "Auther", "CreateDate"}},
        {"T_XlBook", {"BookNo", "XFileName", "LastAuther", "PrintDate", "Hyperlink", "Label"}},
        {"T_XlObject", {"objectNo", "Class", "Row", "Col", "StVisible", "ComentCount"}},
        {"T_XlLink", {"LinkNo", "LinkType", "LinkMoto"}},
        {"T_XlCalc", {"Label", "SheetMei", "StCell", "CalcName", "NoteName"}},
        {"T_XlShape", {"SheetName", "ControlName", "IbentType", "MacroName", "TextName"}},
        {"T_XlName", {"LabelName", "SheetMei", "StCell"}},
        {"T_XlFile", {"FileNo", "XFileName", "FileSize", "UpdateDate", "ReadOnly"}},
        {"T_XlAddin", {"Name", "FullName", "Installed", "objectName", "FilePath"}},
        {"T_XlProcName", {"ProcedureName", "PrivatePublic", "Object", "DimCall", "As"}},
        {"T_XlDimCall", {"Line", "DimCall", "Bunrui", "Type", "Parameters"}},
        {"T_XlSource", {"Label", "ProcedureNo", "Line", "Procedure"}},
        {"T_XlModStep", {"ComentCnt", "SpaceCnt", "ProcCnt", "TotalCnt"}},
        {"T_XlComment", {"Object", "ProcedureName", "Comment"}},
        {"T_XlHensu", {"HensuName", "Property", "Bunrui", "Description"}},
        {"T_XlLinkModule", {"Procedure", "LinkProcedure", "MotoName"}},
        {"T_XlSaveFlag", {"ObjName", "fObj", "fCel", "fPrc", "fSoc", "fShp", "fFil", "mCs", "fDim",
                          "fCom", "fNam", "fAdd", "fSocS", "fCrs", "mSs", "Title", "System",
                          "Company", "Bumon", "Auther", "CreateDate"}},
    };
    ASSERT_EQ(expected.size(), analysisTables.size());
    for (const char* table : analysisTables) {
        const auto it = expected.find(QString::fromLatin1(table));
        ASSERT_NE(it, expected.end()) << table;
        const auto fields = fieldsOf(it->first);
        for (const QString& f : it->second)
            EXPECT_TRUE(fields.count(f)) << table << " lacks " << f.toStdString();
    }
}

TEST_F(SchemaTest, FieldTypesFollowWhatTheAnalysesStore) {
    struct Case {
        const char* table;
        const char* field;
        const char* type;
    };
    const Case cases[] = {
        {"T_XlHyousi", "SysTitle", "TEXT(150)"},  {"T_XlHyousi", "Auther", "TEXT(20)"},
        {"T_XlBook", "Keywords", "TEXT(50)"},     {"T_XlBook", "FileSize", "DOUBLE"},
        {"T_XlBook", "UpdateDate", "DATETIME"},   {"T_XlLink", "LinkMoto", "TEXT(130)"},
        {"T_XlObject", "Row", "INTEGER"},         {"T_XlObject", "ErrCount", "SMALLINT"},
        {"T_XlAddin", "Installed", "BOOLEAN"},    {"T_XlSource", "Label", "TINYINT"},
        {"T_XlCalc", "CalcName", "TEXT(65535)"},  {"T_XlSaveFlag", "fSocS", "SMALLINT"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fieldsOf(QString::fromLatin1(c.table))[QString::fromLatin1(c.field)],
                  QString::fromLatin1(c.type))
            << c.table << "." << c.field;
}

}  // namespace
}  // namespace tabulon::store::test
