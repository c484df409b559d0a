// The add-in registry file and what the add-in collection answers from it.
#include "support/TestSupport.h"

#include "host/AddIns.h"
#include "common/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using tabulon::Error;
using namespace tabulon::host;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The registry of a folder holding the given add-in files (empty) and AddIns.ini.
AddInRegistry registryWith(const QTemporaryDir& dir, const QStringList& files, const QByteArray& ini) {
    for (const QString& f : files) writeFile(dir.path() + "/" + f, "");
    writeFile(dir.path() + "/AddIns.ini", ini);
    return AddInRegistry::load(dir.path() + "/AddIns.ini");
}

int errorNumber(const AddInRegistry& registry, int position) {
    try {
        registry.item(position);
    } catch (const Error& error) {
        return error.number();
    }
    return 0;
}

}  // namespace

TEST(AddInRegistry, EntriesInFileOrderWithInstalledFlags) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("lib/x=y");
    writeFile(dir.path() + "/Tool.xla", "not ole");
    writeFile(dir.path() + "/lib/x=y/Other.xll", "");
    writeFile(dir.path() + "/lib/Reg.xla", "");
    writeFile(dir.path() + "/AddIns.ini",
              "; add-ins\r\n"
              "[AddIns]\r\n"
              "# another comment\r\n"
              "Tool.xla=1\r\n"
              "\r\n" +
                  (dir.path() + "/lib/x=y/Other.xll = 0\n").toUtf8() +
                  "lib/Reg.xla\n");
    const AddInRegistry registry = AddInRegistry::load(dir.path() + "/AddIns.ini");
    ASSERT_EQ(registry.count(), 3);
    EXPECT_EQ(AddInRegistry::load(dir.path() + "/None.ini").count(), 0) << "no registry: an empty list";
    const AddIn tool = registry.item(1);
    EXPECT_EQ(tool.name, "Tool.xla");
    EXPECT_EQ(tool.fullName, dir.path() + "/Tool.xla");
    EXPECT_EQ(tool.path, dir.path());
    EXPECT_TRUE(tool.installed);
    EXPECT_EQ(tool.title, "");  // not an OLE file: no title
    const AddIn other = registry.item(2);
    EXPECT_EQ(other.name, "Other.xll");
    EXPECT_EQ(other.path, dir.path() + "/lib/x=y");
    EXPECT_FALSE(other.installed);
    EXPECT_FALSE(registry.item(3).installed);  // registered only
}

TEST(AddInRegistry, TitleComesFromTheFilesSummary) {
    QTemporaryDir dir;
    const QString addIn = dir.path() + "/Macros.xla";
    ASSERT_TRUE(QFile::copy(tabulon::test::fixture("xls/poi/50939.xls"), addIn));
    writeFile(dir.path() + "/AddIns.ini", "Macros.xla=1\n");
    const AddInRegistry registry = AddInRegistry::load(dir.path() + "/AddIns.ini");
    EXPECT_EQ(registry.item(1).title, "Checklist template");
    // A workbook whose summary has no title answers an empty title.
    EXPECT_EQ(documentTitle(tabulon::test::fixture("xls/poi/SimpleMacro.xls")), "");
}

// A registered file that is gone fails alone; positions outside the list are subscript errors.
TEST(AddInRegistry, MissingFileAndPositionsOutsideTheList) {
    QTemporaryDir dir;
    const AddInRegistry registry = registryWith(dir, {"A.xla"}, "A.xla=1\nGone.xla=1\nA.xla=0\n");
    ASSERT_EQ(registry.count(), 3);
    std::vector<int> errors;
    for (int position = 0; position <= 4; ++position) errors.push_back(errorNumber(registry, position));
    EXPECT_EQ(errors, (std::vector<int>{9, 0, tabulon::err::FileNotFound, 0, 9}));
}

TEST(AddInRegistry, LegacyShiftJisRegistryIsRead) {
    QTemporaryDir dir;
    // "集計.xla=1" in code page 932.
    const AddInRegistry registry = registryWith(dir, {"集計.xla"}, QByteArray::fromHex("8f57 8c76") + ".xla=1\r\n");
    ASSERT_EQ(registry.count(), 1);
    EXPECT_EQ(registry.item(1).name, QStringLiteral("集計.xla"));
}
