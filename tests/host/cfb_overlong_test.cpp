// A compound-file directory entry that claims more bytes than the file
// holds: the stream is read as far as its sectors go, with a warning, for
// the Workbook stream and the VBA streams alike; what the file does hold
// reads as it would without the false claim.
#include "host/Workbook.h"
#include "host/vba/Project.h"
#include "xlswriter/XlsWriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

using namespace tabulon;

namespace {

// Adds `extra` to the size of the stream entry named `name` (MS-CFB 2.6:
// 128-byte entries, the name in UTF-16 with its byte length at 0x40, the
// object type at 0x42, the stream size at 0x78).
bool claimMore(const QString& path, const QString& name, quint32 extra) {
    QFile f(path);
    QByteArray bytes = f.open(QIODevice::ReadWrite) ? f.readAll() : QByteArray();
    const QByteArray wanted = QByteArray(reinterpret_cast<const char*>(name.utf16()), name.size() * 2) + QByteArray(2, 0);
    for (qsizetype at = 512; at + 128 <= bytes.size(); at += 128) {
        const auto u8 = [&](qsizetype k) { return quint32(quint8(bytes[at + k])); };
        if ((u8(0x40) | (u8(0x41) << 8)) != quint32(wanted.size()) || u8(0x42) != 2 || bytes.mid(at, wanted.size()) != wanted)
            continue;
        const quint32 size = (u8(0x78) | (u8(0x79) << 8) | (u8(0x7A) << 16) | (u8(0x7B) << 24)) + extra;
        for (int k = 0; k < 4; ++k) bytes[at + 0x78 + k] = char((size >> (8 * k)) & 0xFF);
        return f.seek(0) && f.write(bytes) == bytes.size();
    }
    return false;
}

// A workbook whose Workbook stream and module stream are both large enough
// to lie in ordinary sectors (4096 bytes and more).
QString largeBook(const QTemporaryDir& dir, const QString& name) {
    xlsw::XlsWriter w;
    xlsw::XlsSheet& sheet = w.addSheet(QStringLiteral("Data"));
    for (int r = 0; r < 600; ++r) {
        xlsw::XlsCell c;
        c.row = r;
        c.number = r * 0.5;
        sheet.cells.push_back(c);
    }
    std::mt19937 random(20261206);
    QString code;
    for (int line = 0; line < 400; ++line)
        code += QStringLiteral("Const C%1 As Long = %2 ' %3\r\n").arg(line).arg(random()).arg(random(), 8, 36);
    w.addModule(QStringLiteral("Module1"), xlsw::XlsModule::Standard, code);
    const QString path = dir.filePath(name);
    EXPECT_TRUE(w.save(path));
    return path;
}

}  // namespace

TEST(OverlongDirectoryEntry, StreamsReadAsFarAsTheFileHoldsThem) {
    QTemporaryDir dir;
    const QString intact = largeBook(dir, QStringLiteral("intact.xls"));
    const QString claimed = largeBook(dir, QStringLiteral("claimed.xls"));
    ASSERT_TRUE(claimMore(claimed, QStringLiteral("Workbook"), 5000));
    ASSERT_TRUE(claimMore(claimed, QStringLiteral("Module1"), 5000));

    const host::Workbook book = host::Workbook::load(claimed);
    EXPECT_TRUE(book.warnings().join(u'\n').contains(QStringLiteral("Workbook stream is truncated")));
    const host::Range cells = book.sheet(1).usedRange();
    ASSERT_EQ(cells.count(), host::Workbook::load(intact).sheet(1).usedRange().count());
    EXPECT_EQ(cells.cell(cells.count() - 1).value().toDouble(), 299.5);

    const vba::Project project = vba::Project::load(claimed);
    ASSERT_EQ(project.components().size(), 1);
    EXPECT_EQ(project.components()[0].exportText, vba::Project::load(intact).components()[0].exportText);
    ASSERT_EQ(project.warnings().size(), 1);
    EXPECT_TRUE(project.warnings()[0].contains(QStringLiteral("Module1")));
}
