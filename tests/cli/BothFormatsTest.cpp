// One workbook saved in both formats documents to the same rows in every
// chapter: the bundled sample (.xls) is written again as a macro-enabled
// .xlsm by a small test-side writer (cells and formulas, names, the linked
// book, comments with their authors, the buttons as legacy controls with
// their macros, the text box and the picture as DrawingML objects, the
// document properties and the VBA project's own compound file), both are
// documented by `tabulon document --save`, and the two results files must
// hold the same rows, but for the file's own name, size and date.
#include "cli_support.h"
#include "host/Workbook.h"
#include "host/cfb/CompoundFile.h"
#include "host/model/Notation.h"
#include "store/Database.h"
#include "support/PackageWriter.h"

#include <QDir>
#include <QFile>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>
#include <gtest/gtest.h>

namespace tabulon::test::cli {
namespace {

QString esc(const QString& s) { return s.toHtmlEscaped(); }

// The project storage of the .xls as a compound file of its own.
void copyStorage(const cfb::Storage& from, GsfOutfile* to) {
    for (const QString& name : from.childNames()) {
        const QByteArray utf8 = name.toUtf8();
        if (from.isStorage(name)) {
            GsfOutput* child = gsf_outfile_new_child(to, utf8.constData(), TRUE);
            copyStorage(from.storage(name), GSF_OUTFILE(child));
            gsf_output_close(child);
            g_object_unref(child);
        } else {
            const QByteArray bytes = from.stream(name, 1 << 26);
            GsfOutput* child = gsf_outfile_new_child(to, utf8.constData(), FALSE);
            gsf_output_write(child, size_t(bytes.size()), reinterpret_cast<const guint8*>(bytes.constData()));
            gsf_output_close(child);
            g_object_unref(child);
        }
    }
}

QByteArray projectFile(const QString& xls) {
    gsf_init();
    const cfb::CompoundFile file(xls);
    GsfOutput* memory = gsf_output_memory_new();
    GsfOutfile* root = gsf_outfile_msole_new(memory);
    copyStorage(file.root().storage(QStringLiteral("_VBA_PROJECT_CUR")), root);
    gsf_output_close(GSF_OUTPUT(root));
    g_object_unref(root);
    const QByteArray bytes(reinterpret_cast<const char*>(gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory))),
                           qsizetype(gsf_output_size(memory)));
    g_object_unref(memory);
    return bytes;
}

const char* controlType(model::ShapeKind k) {
    switch (k) {
    case model::ShapeKind::Button: return "Button";
    case model::ShapeKind::CheckBox: return "Checkbox";
    case model::ShapeKind::Comment: return "Note";
    default: return nullptr;
    }
}

QString anchorXml(const model::Shape& s) {
    const model::Anchor a = s.anchor.value_or(model::Anchor{});
    return QStringLiteral("<xdr:from><xdr:col>%1</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>%2</xdr:row><xdr:rowOff>0</xdr:rowOff>"
                          "</xdr:from><xdr:to><xdr:col>%3</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>%4</xdr:row>"
                          "<xdr:rowOff>0</xdr:rowOff></xdr:to>").arg(a.col1).arg(a.row1).arg(a.col2).arg(a.row2);
}

// The sample as a macro-enabled package, from what the .xls reader gives.
QByteArray asXlsm(const QString& xls) {
    const host::Workbook book = host::Workbook::load(xls);
    const model::Book& m = book.model();
    Book b;
    b.workbookType = QStringLiteral("application/vnd.ms-excel.sheet.macroEnabled.main+xml");
    QString names = QStringLiteral("<definedNames>");
    for (const model::Name& n : m.names) {
        QString text = n.refersTo.mid(1);
        names += QStringLiteral("<definedName name=\"%1%2\"%3%4%5>%6</definedName>")
                     .arg(n.builtin ? QStringLiteral("_xlnm.") : QString(), esc(n.name),
                          n.sheetIndex >= 0 ? QStringLiteral(" localSheetId=\"%1\"").arg(n.sheetIndex) : QString(),
                          n.hidden ? QStringLiteral(" hidden=\"1\"") : QString(),
                          n.vbaMacro ? QStringLiteral(" function=\"1\" vbProcedure=\"1\"") : QString(), esc(text));
    }
    names += QStringLiteral("</definedNames>");
    QString links;
    for (size_t i = 0; i < m.links.size(); ++i) {
        const QString part = QStringLiteral("xl/externalLinks/externalLink%1.xml").arg(i + 1);
        b.part(part, QStringLiteral("<externalLink xmlns=\"%1\" xmlns:r=\"%2\"><externalBook r:id=\"rId1\"/></externalLink>")
                         .arg(Book::kMain, Book::kRel).toUtf8());
        b.rel(QStringLiteral("xl/workbook.xml"), QStringLiteral("rIdL%1").arg(i + 1), QStringLiteral("externalLink"),
              QStringLiteral("externalLinks/externalLink%1.xml").arg(i + 1));
        b.rel(part, QStringLiteral("rId1"), QStringLiteral("externalLinkPath"), QStringLiteral("file:///") + m.links[i].target, true);
        links += QStringLiteral("<externalReference r:id=\"rIdL%1\"/>").arg(i + 1);
    }
    b.workbookExtra = QStringLiteral("<externalReferences>") + links + QStringLiteral("</externalReferences>") + names;
    b.workbookPr = m.codeName.isEmpty() ? QString() : QStringLiteral("codeName=\"%1\"").arg(m.codeName);

    for (int i = 1; i <= book.sheetCount(); ++i) {
        const host::Sheet sheet = book.sheet(i);
        const model::Sheet& ms = m.sheets[size_t(i - 1)];
        QString data = QStringLiteral("<sheetPr codeName=\"%1\"/><sheetData>").arg(esc(ms.codeName));
        int row = -1;
        sheet.usedRange().forEach([&](const host::Cell& c) {
            const QVariant v = c.value();
            QString f = c.formula();
            const bool formula = f.startsWith(u'=');
            if (!v.isValid() && !formula) return true;
            if (c.row() != row) {
                if (row >= 0) data += QStringLiteral("</row>");
                row = c.row();
                data += QStringLiteral("<row r=\"%1\">").arg(row);
            }
            for (size_t k = 0; k < m.links.size(); ++k) {  // the linked book by its number, as stored
                const QString path = m.links[k].target;
                const qsizetype cut = path.lastIndexOf(u'\\') + 1;
                f.replace(u'\'' + path.left(cut) + u'[' + path.mid(cut) + u']', QStringLiteral("'[%1]").arg(k + 1));
            }
            const QString ref = c.address().remove(u'$');
            const QString fx = formula ? QStringLiteral("<f>%1</f>").arg(esc(f.mid(1))) : QString();
            if (c.isError()) data += QStringLiteral("<c r=\"%1\" t=\"e\">%2<v>%3</v></c>").arg(ref, fx, v.toString());
            else if (v.typeId() == QMetaType::Bool) data += QStringLiteral("<c r=\"%1\" t=\"b\">%2<v>%3</v></c>").arg(ref, fx, v.toBool() ? "1" : "0");
            else if (v.typeId() == QMetaType::QString && formula) data += QStringLiteral("<c r=\"%1\" t=\"str\">%2<v>%3</v></c>").arg(ref, fx, esc(v.toString()));
            else if (v.typeId() == QMetaType::QString) data += QStringLiteral("<c r=\"%1\" t=\"inlineStr\"><is><t>%2</t></is></c>").arg(ref, esc(v.toString()));
            else data += QStringLiteral("<c r=\"%1\">%2<v>%3</v></c>").arg(ref, fx, QString::number(v.toDouble(), 'g', 17));
            return true;
        });
        if (row >= 0) data += QStringLiteral("</row>");
        data += QStringLiteral("</sheetData>");
        if (ms.protectContents) data += QStringLiteral("<sheetProtection sheet=\"1\"%1/>").arg(ms.hasPassword ? " password=\"CC3D\"" : "");
        const QString drawing = QStringLiteral("xl/drawings/drawing%1.xml").arg(i), vml = QStringLiteral("xl/drawings/vmlDrawing%1.vml").arg(i);
        const QString sheetPart = QStringLiteral("xl/worksheets/sheet%1.xml").arg(i);
        QString dml, vmlXml, controls, notes, authors;
        QStringList authorList;
        for (const auto& [at, note] : ms.notes) {
            if (!authorList.contains(note.author)) authorList << note.author;
            notes += QStringLiteral("<comment ref=\"%1\" authorId=\"%2\"><text><t xml:space=\"preserve\">%3</t></text></comment>")
                         .arg(model::cellAddress(at.first, at.second, false)).arg(authorList.indexOf(note.author)).arg(esc(note.text));
        }
        for (const model::Shape& s : ms.shapes) {
            const int spid = 1024 + s.objectId;
            if (const char* type = controlType(s.kind)) {
                const auto note = std::find_if(ms.notes.begin(), ms.notes.end(), [&](const auto& n) { return n.second.text == s.text; });
                const model::Anchor a = s.anchor.value_or(model::Anchor{});
                vmlXml += QStringLiteral("<v:shape id=\"_x0000_s%1\"><v:textbox><div>%2</div></v:textbox><x:ClientData ObjectType=\"%3\">"
                                         "<x:Anchor>%4, 0, %5, 0, %6, 0, %7, 0</x:Anchor>%8%9</x:ClientData></v:shape>")
                              .arg(spid).arg(s.isComment() ? QString() : esc(s.text), type).arg(a.col1).arg(a.row1).arg(a.col2).arg(a.row2)
                              .arg(s.onAction.isEmpty() ? QString() : QStringLiteral("<x:FmlaMacro>%1</x:FmlaMacro>").arg(esc(s.onAction)),
                                   note == ms.notes.end() ? QString() : QStringLiteral("<x:Row>%1</x:Row><x:Column>%2</x:Column>").arg(note->first.first).arg(note->first.second));
                if (!s.isComment()) {
                    controls += QStringLiteral("<control shapeId=\"%1\" r:id=\"x\" name=\"%2\"/>").arg(spid).arg(esc(s.name));
                    dml += QStringLiteral("<mc:AlternateContent xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\">"
                                          "<mc:Choice Requires=\"a14\"><xdr:twoCellAnchor>%1<xdr:sp><xdr:nvSpPr><xdr:cNvPr id=\"%2\" name=\"%3\">"
                                          "<a:extLst><a:ext><a14:compatExt xmlns:a14=\"a14\" spid=\"_x0000_s%2\"/></a:ext></a:extLst></xdr:cNvPr>"
                                          "</xdr:nvSpPr></xdr:sp><xdr:clientData/></xdr:twoCellAnchor></mc:Choice></mc:AlternateContent>")
                               .arg(anchorXml(s)).arg(spid).arg(esc(s.name));
                }
                continue;
            }
            const bool picture = s.kind == model::ShapeKind::Picture;
            const QString props = QStringLiteral("<xdr:spPr><a:solidFill><a:srgbClr val=\"%1\"/></a:solidFill>%2</xdr:spPr>")
                                      .arg(s.fillColor.rgb, 6, 16, QLatin1Char('0'))
                                      .arg(s.lineVisible ? QStringLiteral("<a:ln><a:prstDash val=\"%1\"/></a:ln>").arg(s.dashStyle == 4 ? "dash" : "solid")
                                                         : QStringLiteral("<a:ln><a:noFill/></a:ln>"));
            dml += QStringLiteral("<xdr:twoCellAnchor>%1<xdr:%2 macro=\"%3\"><xdr:nv%4Pr><xdr:cNvPr id=\"%5\" name=\"%6\"/><xdr:cNv%4Pr%7/></xdr:nv%4Pr>%8%9"
                                  "</xdr:%2><xdr:clientData/></xdr:twoCellAnchor>")
                       .arg(anchorXml(s), picture ? "pic" : "sp", esc(s.onAction), picture ? "Pic" : "Sp").arg(s.objectId).arg(esc(s.name))
                       .arg(s.kind == model::ShapeKind::TextBox ? QStringLiteral(" txBox=\"1\"") : QString(), props,
                            s.text.isEmpty() ? QString() : QStringLiteral("<xdr:txBody><a:bodyPr/><a:p><a:r><a:t>%1</a:t></a:r></a:p></xdr:txBody>").arg(esc(s.text)));
        }
        for (const QString& a : authorList) authors += QStringLiteral("<author>%1</author>").arg(esc(a));
        if (!notes.isEmpty()) {
            b.part(QStringLiteral("xl/comments%1.xml").arg(i), QStringLiteral("<comments xmlns=\"%1\"><authors>%2</authors><commentList>%3</commentList></comments>")
                                                                  .arg(Book::kMain, authors, notes).toUtf8());
            b.rel(sheetPart, QStringLiteral("rIdC"), QStringLiteral("comments"), QStringLiteral("../comments%1.xml").arg(i));
        }
        if (!dml.isEmpty()) {
            b.part(drawing, QStringLiteral("<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
                                           "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">%1</xdr:wsDr>").arg(dml).toUtf8());
            b.rel(sheetPart, QStringLiteral("rIdD"), QStringLiteral("drawing"), QStringLiteral("../drawings/drawing%1.xml").arg(i));
            data += QStringLiteral("<drawing r:id=\"rIdD\"/>");
        }
        if (!vmlXml.isEmpty()) {
            b.part(vml, QStringLiteral("<xml xmlns:v=\"urn:schemas-microsoft-com:vml\" xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
                                       "xmlns:x=\"urn:schemas-microsoft-com:office:excel\">%1</xml>").arg(vmlXml).toUtf8());
            b.rel(sheetPart, QStringLiteral("rIdV"), QStringLiteral("vmlDrawing"), QStringLiteral("../drawings/vmlDrawing%1.vml").arg(i));
            data += QStringLiteral("<legacyDrawing r:id=\"rIdV\"/>");
        }
        if (!controls.isEmpty()) data += QStringLiteral("<controls>") + controls + QStringLiteral("</controls>");
        const QString state = ms.visibility == 1 ? QStringLiteral("hidden") : ms.visibility == 2 ? QStringLiteral("veryHidden") : QString();
        b.sheet(ms.name, data, state);
    }
    // The picture's image: any will do, the chapters only name the picture.
    QString core = QStringLiteral("<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
                                  "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>%1</dc:title><dc:creator>%2</dc:creator></cp:coreProperties>")
                       .arg(esc(book.builtinProperty(1).toString()), esc(book.builtinProperty(3).toString()));
    b.part(QStringLiteral("docProps/core.xml"), core.toUtf8());
    b.rel(QString(), QStringLiteral("rIdCore"), QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties"),
          QStringLiteral("docProps/core.xml"));
    b.part(QStringLiteral("docProps/app.xml"), QStringLiteral("<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\">"
                                                              "<Company>%1</Company></Properties>").arg(esc(book.builtinProperty(21).toString())).toUtf8());
    b.rel(QString(), QStringLiteral("rIdApp"), QStringLiteral("extended-properties"), QStringLiteral("docProps/app.xml"));
    b.part(QStringLiteral("xl/vbaProject.bin"), projectFile(xls));
    b.rel(QStringLiteral("xl/workbook.xml"), QStringLiteral("rIdVba"), QStringLiteral("http://schemas.microsoft.com/office/2006/relationships/vbaProject"),
          QStringLiteral("vbaProject.bin"));
    return b.writer().bytes();
}

// Every analysis table's rows, as text, but for the columns that name the
// file itself.
QStringList rowsOf(const QString& results) {
    static const QStringList fileColumns = {"FileName", "FileSize", "FileDate", "BookName", "FullName", "FilePath", "DBName"};
    auto db = store::Database::open(results);
    QStringList out;
    for (const auto& t : db->query(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name LIKE 'T_Xl%' ORDER BY name"))) {
        const QString table = t.at(0).toString();
        const auto columns = db->query(QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(table));
        QStringList kept;
        for (const auto& c : columns)
            if (!fileColumns.contains(c.at(0).toString(), Qt::CaseInsensitive) && c.at(0).toString() != u"ID") kept << QStringLiteral("[%1]").arg(c.at(0).toString());
        if (kept.isEmpty()) continue;
        for (const auto& row : db->query(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(kept.join(u','), table))) {
            QStringList cells;
            for (const QVariant& v : row) cells << v.toString();
            out << table + u'\t' + cells.join(u'\t');
        }
    }
    return out;
}

struct BothFormats : CommandTest {};

TEST_F(BothFormats, TheSampleAsXlsmDocumentsToTheSameRowsInEveryChapter) {
    QDir().mkpath(dir.filePath("x"));
    QDir().mkpath(dir.filePath("m"));
    const QString xlsm = dir.filePath("m/sample.xlsm");
    {
        QFile f(xlsm);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(asXlsm(kSample));
    }
    const QString xls = dir.filePath("x/sample.xls");
    ASSERT_TRUE(QFile::copy(kSample, xls));
    ASSERT_EQ(run("document", {xls, "-o", dir.filePath("a"), "--save", dir.filePath("a.xdb")}), 0) << err.toStdString();
    ASSERT_EQ(run("document", {xlsm, "-o", dir.filePath("b"), "--save", dir.filePath("b.xdb")}), 0) << err.toStdString();
    // The file itself is named by its own path and extension.
    const auto same = [&](QStringList rows, const QString& folder, const QString& name) {
        return rows.replaceInStrings(dir.filePath(folder), QStringLiteral("<folder>")).replaceInStrings(name, QStringLiteral("<book>"));
    };
    const QStringList a = same(rowsOf(dir.filePath("a.xdb")), "x", "sample.xls"), b = same(rowsOf(dir.filePath("b.xdb")), "m", "sample.xlsm");
    EXPECT_GT(a.size(), 80);
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i)
        EXPECT_EQ(a.value(i).toStdString(), b.value(i).toStdString()) << "row " << i;
}

}  // namespace
}  // namespace tabulon::test::cli
