// The small decisions of the inventory, case by case: which files are tried,
// what runs on its own, which estate file a link names, which shard a path
// falls in, which file systems refuse the database, and the progress line.
#include "inventory/Content.h"
#include "inventory/LinkResolution.h"
#include "inventory/NetworkFs.h"
#include "inventory/ProgressLine.h"
#include "inventory/Shard.h"
#include "inventory/Walk.h"
#include "inventory/WorkbookFacts.h"

#include <QDir>
#include <gtest/gtest.h>

namespace tabulon::inventory {
namespace {

TEST(Content, FirstBytesDecideWhatTheReaderIsAsked) {
    const struct {
        QByteArray head;
        Content expected;
        const char* fault;
    } cases[] = {
        {QByteArray::fromHex("D0CF11E0A1B11AE1"), Content::CompoundFile, ".xls not tried"},
        {QByteArray("PK\x03\x04\x14\x00", 6), Content::Zip, "a zip workbook never reaches the reader"},
        {QByteArray::fromHex("0904060000001000"), Content::OldBiff, "Excel 4 files vanish instead of failing"},
        {QByteArray::fromHex("0902060000001000"), Content::OldBiff, "Excel 2 files vanish instead of failing"},
        {QByteArray::fromHex("0904FF0000001000"), Content::None, "any 09 04 taken for a BOF"},
        {QByteArray("%PDF-1.4"), Content::None, "PDFs sent to the reader"},
        {QByteArray("D0CF"), Content::None, "text that spells the magic in hex"},
        {QByteArray(), Content::None, "an empty file"},
    };
    for (const auto& c : cases) EXPECT_EQ(contentOf(c.head), c.expected) << c.fault;
    EXPECT_TRUE(hasWorkbookName("/a/B.XLSM"));
    EXPECT_TRUE(hasWorkbookName("/a/old.xla"));
    EXPECT_FALSE(hasWorkbookName("/a/report.doc"));
    EXPECT_FALSE(hasWorkbookName("/a/xls"));
}

TEST(Occasion, OnlyTheEntryPointsThatRunWithoutAClick) {
    const struct {
        const char* type;
        const char* procedure;
        const char* occasion;
    } cases[] = {
        {"standard", "Auto_Open", "open"},           {"standard", "AUTO_CLOSE", "close"},
        {"standard", "Auto_Open2", ""},              // VBA runs the exact name only
        {"standard", "Workbook_Open", ""},           // an event name outside its object's module
        {"class", "Auto_Open", ""},                  {"form", "UserForm_Initialize", ""},
        {"document", "Workbook_Open", "open"},       {"document", "workbook_beforeclose", "close"},
        {"document", "Workbook_SheetChange", "event"}, {"document", "Worksheet_Change", "event"},
        {"document", "Worksheet_Activate", "activate"}, {"document", "Chart_Deactivate", "deactivate"},
        {"document", "WorkbookOpen", ""},            {"document", "Helper", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(procedureOccasion(c.type, c.procedure), QString(c.occasion)) << c.type << " " << c.procedure;
    // Excel 4 runs every name that begins so.
    EXPECT_EQ(nameOccasion("Auto_Open_Menu"), "open");
    EXPECT_EQ(nameOccasion("auto_deactivate"), "deactivate");
    EXPECT_EQ(nameOccasion("AutoOpen"), "");
    EXPECT_EQ(nameOccasion("Print_Area"), "");
}

TEST(CodeBody, CopiesOfOneModuleHashAlikeWhateverTheirHeader) {
    const QString standard = "Attribute VB_Name = \"Tools\"\r\nSub A()\r\nEnd Sub\r\n";
    const QString renamed = "Attribute VB_Name = \"Tools2\"\r\nSub A()\r\nEnd Sub\r\n";
    const QString document = "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\nEND\r\n"
                             "Attribute VB_Name = \"Sheet1\"\r\nAttribute VB_Exposed = True\r\nSub A()\r\nEnd Sub\r\n";
    const QString form = "VERSION 5.00\r\nBegin {C62A69F0} UserForm1\r\n   Caption = \"x\"\r\n"
                         "   BeginProperty Font\r\n   EndProperty\r\nEnd\r\nAttribute VB_Name = \"UserForm1\"\r\n"
                         "Sub A()\r\nEnd Sub\r\n";
    EXPECT_EQ(codeBody(standard), "Sub A()\nEnd Sub\n");
    EXPECT_EQ(codeBody(renamed), codeBody(standard));
    EXPECT_EQ(codeBody(document), codeBody(standard));
    EXPECT_EQ(codeBody(form), codeBody(standard));
    // Attributes inside the code belong to it.
    EXPECT_NE(codeBody("Sub A()\r\nAttribute A.VB_Description = \"d\"\r\nEnd Sub\r\n"), codeBody(standard));
}

TEST(LinkResolution, PathFirstThenTheNameWithTheMostFoldersInCommon) {
    FileIndex index;
    index.add(1, "/share/sales/2001/Prices.xls");
    index.add(2, "/share/stock/Prices.xls");
    index.add(3, "/share/sales/Orders.xls");
    index.add(4, "/share/x/Dup.xls");
    index.add(5, "/share/y/Dup.xls");
    const struct {
        const char* target;
        qint64 id;  // 0: not found
        const char* by;
        const char* fault;
    } cases[] = {
        {"/share/stock/Prices.xls", 2, "path", "a local path not matched exactly"},
        {"/share/stock/../stock/Prices.xls", 2, "path", "a resolved relative path not cleaned"},
        {"\\\\srv\\dept\\sales\\2001\\PRICES.XLS", 1, "name", "Windows case or separators break matching"},
        {"C:\\stock\\Prices.xls", 2, "name", "the nearest folder not preferred"},
        {"C:\\data\\Orders.xls", 3, "name", "a unique name not matched"},
        {"C:\\data\\Prices.xls", 0, "", "a tie between two candidates resolved at random"},
        {"D:\\Dup.xls", 0, "", "a tie on the name alone resolved"},
        {"C:\\data\\Missing.xls", 0, "", "a file outside the estate found"},
        {"", 0, "", "an empty target found"},
    };
    for (const auto& c : cases) {
        const auto found = index.resolve(c.target);
        EXPECT_EQ(found ? found->id : 0, c.id) << c.fault;
        if (found) {
            EXPECT_EQ(found->resolvedBy, QString(c.by)) << c.target;
        }
    }
}

TEST(Shards, KOfNIsStableAndSplitsEvenly) {
    EXPECT_EQ(parseShard("2/3")->k, 2);
    for (const char* bad : {"0/3", "4/3", "1/0", "a/b", "1/", "-1/3", "1/3/4", " 1/3"})
        EXPECT_FALSE(parseShard(bad)) << bad;
    // The same path falls in the same shard on every machine: the values
    // are SHA-256's (worked out apart), not those of a hash seeded per process.
    EXPECT_EQ(shardOf("/share/a.xls", 3), 2);
    EXPECT_EQ(shardOf("/share/データ/b.xls", 7), 2);
    int counts[3] = {0, 0, 0};
    for (int i = 0; i < 3000; ++i) ++counts[shardOf(QStringLiteral("/share/f%1.xls").arg(i), 3) - 1];
    for (const int c : counts) EXPECT_NEAR(c, 1000, 150);
}

TEST(NetworkFs, TheDatabaseStaysOffNetworkFileSystems) {
    const struct {
        long magic;
        const char* mountType;
        const char* expected;
    } cases[] = {
        {0x6969, "nfs4", "nfs"},          {0xFF534D42, "cifs", "cifs"},   {0xFE534D42, "smb3", "smb2"},
        {0x65735546, "fuse.sshfs", "fuse.sshfs"}, {0x65735546, "fuseblk", ""},  // ntfs-3g is local
        {0xEF53, "ext4", ""},             {0x01021994, "tmpfs", ""},      {0x9123683E, "btrfs", ""},
        {0x0, "nfs", "nfs"},  // a magic the table lacks, told by the mount type
    };
    for (const auto& c : cases)
        EXPECT_EQ(networkFileSystemName(c.magic, c.mountType), QString(c.expected)) << c.mountType;
    EXPECT_TRUE(networkRefusal("/mnt/e.sqlite", "nfs").contains("ローカルディスク"));
    EXPECT_TRUE(networkFileSystem(QDir::tempPath()).isEmpty());
}

TEST(Walk, ExcludePatternsNameOrPath) {
    EXPECT_TRUE(isExcluded("/s/a/~$Book.xls", {"~$*"}));
    EXPECT_TRUE(isExcluded("/s/backup/x.xls", {"/s/backup*"}));
    EXPECT_TRUE(isExcluded("/s/a/b/x.xls", {"*/b/*"}));
    EXPECT_FALSE(isExcluded("/s/backup/x.xls", {"backup"}));  // a name pattern meets the file's own name only
    EXPECT_TRUE(isExcluded("/s/backup", {"backup"}));
    EXPECT_TRUE(isUnder("/s/a/x.xls", "/s/a"));
    EXPECT_FALSE(isUnder("/s/ab/x.xls", "/s/a"));
    EXPECT_TRUE(isUnder("/x", "/"));
}

TEST(Progress, FilesPerSecondAndTimeLeftInJapanese) {
    const auto line = [](qint64 done, qint64 total, qint64 failed, double s) {
        return ProgressLine::text(done, total, failed, s).toStdString();
    };
    EXPECT_EQ(line(250, 1000, 0, 10.0), "読み取り中 250/1,000 件（25%）  25.0 件/秒  残り約 30秒");
    EXPECT_EQ(line(10, 7210, 2, 1.0), "読み取り中 10/7,210 件（0%）  10.0 件/秒  残り約 12分0秒  失敗 2");
    EXPECT_EQ(line(0, 5, 0, 0.1), "読み取り中 0/5 件（0%）");
    EXPECT_EQ(ProgressLine::duration(3725).toStdString(), "1時間2分");
}

}  // namespace
}  // namespace tabulon::inventory
