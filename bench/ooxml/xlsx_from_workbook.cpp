// xlsx_from_workbook IN.xls OUT.xlsx: writes the cells of a workbook our
// reader loads as an Office Open XML package with the same content: the
// values (texts as shared strings), the formulas as their text with the
// cached results, the sheets in order. The benchmark so loads the same
// workbook in both formats.
#include "common/Error.h"
#include "host/Workbook.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <cstdio>
#include <list>
#include <stdexcept>
#include <zip.h>

using tabulon::host::Cell;
using tabulon::host::Workbook;

namespace {

QByteArray escaped(const QString& s) { return s.toHtmlEscaped().toUtf8(); }

class Zip {
public:
    explicit Zip(const char* path) {
        int error = 0;
        zip_ = zip_open(path, ZIP_CREATE | ZIP_TRUNCATE, &error);
        if (!zip_) throw std::runtime_error("cannot create the package");
    }
    void add(const char* name, QByteArray bytes) {
        parts_.push_back(std::move(bytes));
        zip_source_t* s = zip_source_buffer(zip_, parts_.back().constData(), zip_uint64_t(parts_.back().size()), 0);
        if (zip_file_add(zip_, name, s, ZIP_FL_ENC_UTF_8) < 0) throw std::runtime_error(zip_strerror(zip_));
    }
    ~Zip() { zip_close(zip_); }

private:
    zip_t* zip_;
    std::list<QByteArray> parts_;  // kept until the archive is written
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: xlsx_from_workbook IN.xls OUT.xlsx\n");
        return 2;
    }
    try {
        const Workbook book = Workbook::load(QString::fromLocal8Bit(argv[1]));
        QHash<QString, int> strings;
        QByteArray sst;
        auto stringIndex = [&](const QString& s) {
            auto it = strings.find(s);
            if (it != strings.end()) return *it;
            sst += "<si><t xml:space=\"preserve\">" + escaped(s) + "</t></si>";
            return *strings.insert(s, int(strings.size()));
        };
        Zip zip(argv[2]);
        QByteArray sheets, rels, types;
        for (int i = 1; i <= book.sheetCount(); ++i) {
            const auto sheet = book.sheet(i);
            QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                             "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
            int row = -1;
            sheet.usedRange().forEach([&](const Cell& c) {
                const QVariant v = c.value();
                const QString f = c.formula();
                const bool formula = f.startsWith(u'=');
                if (!v.isValid() && !formula) return true;
                if (c.row() != row) {
                    if (row >= 0) xml += "</row>";
                    row = c.row();
                    xml += "<row r=\"" + QByteArray::number(row) + "\">";
                }
                const QByteArray ref = c.address().remove(u'$').toLatin1();
                QByteArray f8 = formula ? "<f>" + escaped(f.mid(1)) + "</f>" : QByteArray();
                if (c.isError()) xml += "<c r=\"" + ref + "\" t=\"e\">" + f8 + "<v>" + escaped(v.toString()) + "</v></c>";
                else if (v.typeId() == QMetaType::Bool) xml += "<c r=\"" + ref + "\" t=\"b\">" + f8 + "<v>" + (v.toBool() ? "1" : "0") + "</v></c>";
                else if (v.typeId() == QMetaType::QString && formula) xml += "<c r=\"" + ref + "\" t=\"str\">" + f8 + "<v>" + escaped(v.toString()) + "</v></c>";
                else if (v.typeId() == QMetaType::QString) xml += "<c r=\"" + ref + "\" t=\"s\"><v>" + QByteArray::number(stringIndex(v.toString())) + "</v></c>";
                else xml += "<c r=\"" + ref + "\">" + f8 + "<v>" + QByteArray::number(v.toDouble(), 'g', 17) + "</v></c>";
                return true;
            });
            if (row >= 0) xml += "</row>";
            xml += "</sheetData></worksheet>";
            const QByteArray part = "xl/worksheets/sheet" + QByteArray::number(i) + ".xml";
            zip.add(part.constData(), xml);
            sheets += "<sheet name=\"" + escaped(sheet.name()) + "\" sheetId=\"" + QByteArray::number(i) + "\" r:id=\"rId" + QByteArray::number(i) + "\"/>";
            rels += "<Relationship Id=\"rId" + QByteArray::number(i) +
                    "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet" +
                    QByteArray::number(i) + ".xml\"/>";
            types += "<Override PartName=\"/" + part + "\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
        }
        zip.add("xl/sharedStrings.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                        "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + sst + "</sst>");
        rels += "<Relationship Id=\"rIdS\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>";
        zip.add("xl/workbook.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                   "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                                   "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>" + sheets + "</sheets></workbook>");
        zip.add("xl/_rels/workbook.xml.rels", "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" + rels + "</Relationships>");
        zip.add("_rels/.rels", "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
                               "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
        zip.add("[Content_Types].xml", "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                                       "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                                       "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                                       "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
                                       "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>" +
                                           types + "</Types>");
    } catch (const tabulon::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
