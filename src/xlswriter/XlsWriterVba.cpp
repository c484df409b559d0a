// The VBA project and the compound file around the workbook stream.
#include "xlswriter/XlsWriter.h"

#include <QFile>
#include <QStringEncoder>
#include <QUuid>

#include <algorithm>

#include <gsf/gsf-doc-meta-data.h>
#include <gsf/gsf-meta-names.h>
#include <gsf/gsf-msole-utils.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-timestamp.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>

namespace tabulon::xlsw {
namespace {

void put16(QByteArray& b, quint16 v) { b.append(char(v & 0xFF)).append(char(v >> 8)); }
void put32(QByteArray& b, quint32 v) { put16(b, quint16(v & 0xFFFF)); put16(b, quint16(v >> 16)); }

const char* codecName(int cp) {
    switch (cp) {
    case 932: return "Shift_JIS";
    case 1252: return "windows-1252";
    default: return "windows-1252";
    }
}

QByteArray encode(const QString& s, int cp) {
    QStringEncoder enc(codecName(cp));
    return enc.encode(s);
}

// One dir-stream record: id, 32-bit size, data.
void dirRecord(QByteArray& b, quint16 id, const QByteArray& data) {
    put16(b, id);
    put32(b, quint32(data.size()));
    b += data;
}
QByteArray u16(quint16 v) { QByteArray b; put16(b, v); return b; }
QByteArray u32(quint32 v) { QByteArray b; put32(b, v); return b; }
QByteArray utf16(const QString& s) {
    QByteArray b;
    for (QChar c : s) put16(b, c.unicode());
    return b;
}

QString attributes(const XlsModule& m) {
    QString a = QStringLiteral("Attribute VB_Name = \"%1\"\r\n").arg(m.name);
    if (m.type == XlsModule::Standard)
        return a;
    bool isBook = m.name.compare(QLatin1String("ThisWorkbook"), Qt::CaseInsensitive) == 0;
    // A form's base names its own designer class and type library.
    QString base = m.type == XlsModule::Class ? "0{FCFB3D2A-A0FA-1068-A738-08002B3371B5}"
                   : m.type == XlsModule::Form
                       ? "0{5E3A1C20-7B4D-4F0A-9C61-2D8E4B7A9F01}{0C7E2D6B-3A1F-4B8E-A5D2-6F9C1E4B7D02}"
                   : isBook ? "0{00020819-0000-0000-C000-000000000046}"
                            : "0{00020820-0000-0000-C000-000000000046}";
    bool doc = m.type == XlsModule::Document;
    a += QStringLiteral("Attribute VB_Base = \"%1\"\r\n").arg(base);
    a += "Attribute VB_GlobalNameSpace = False\r\n";
    a += "Attribute VB_Creatable = False\r\n";
    a += QStringLiteral("Attribute VB_PredeclaredId = %1\r\n").arg(doc || m.type == XlsModule::Form ? "True" : "False");
    a += QStringLiteral("Attribute VB_Exposed = %1\r\n").arg(doc ? "True" : "False");
    a += "Attribute VB_TemplateDerived = False\r\n";
    a += QStringLiteral("Attribute VB_Customizable = %1\r\n").arg(doc ? "True" : "False");
    return a;
}

// Data obfuscation of the PROJECT stream's protection values, as hex text.
QByteArray obfuscate(const QByteArray& data, const QByteArray& projectId) {
    quint8 seed = 0x07, version = 2, key = 0;
    for (char c : projectId) key = quint8(key + quint8(c));
    QByteArray out;
    out.append(char(seed)).append(char(seed ^ version)).append(char(seed ^ key));
    quint8 unenc1 = key, enc1 = quint8(seed ^ key), enc2 = quint8(seed ^ version);
    auto push = [&](quint8 plain) {
        quint8 e = quint8(plain ^ quint8(enc2 + unenc1));
        out.append(char(e));
        enc2 = enc1;
        enc1 = e;
        unenc1 = plain;
    };
    for (int i = 0; i < (seed & 6) / 2; ++i) push(0x07);
    QByteArray len = u32(quint32(data.size()));
    for (char c : len) push(quint8(c));
    for (char c : data) push(quint8(c));
    return out.toHex().toUpper();
}

// The designer text of a user form, as the VBA editor stores it in the
// form's "\x03VBFrame" stream.
QString designerText(const XlsModule& m) {
    return QStringLiteral("VERSION 5.00\r\n"
                          "Begin {C62A69F0-16DC-11CE-9E98-00AA00574A4F} %1 \r\n"
                          "   Caption         =   \"%2\"\r\n"
                          "   ClientHeight    =   3015\r\n"
                          "   ClientLeft      =   45\r\n"
                          "   ClientTop       =   435\r\n"
                          "   ClientWidth     =   4560\r\n"
                          "   StartUpPosition =   1  'CenterOwner\r\n"
                          "   TypeInfoVer     =   2\r\n"
                          "End\r\n")
        .arg(m.name, m.caption);
}

// A form without controls: the form record with no properties set, no
// sites ("f"), and no control data ("o").
QByteArray emptyFormStream() {
    QByteArray f;
    f.append(char(0)).append(char(4));    // version
    put16(f, 4);                           // cbForm
    put32(f, 0);                           // no properties
    put32(f, 0);                           // no sites
    put32(f, 0);                           // no site bytes
    return f;
}

bool writeStream(GsfOutfile* dir, const char* name, const QByteArray& data) {
    GsfOutput* s = gsf_outfile_new_child(dir, name, FALSE);
    if (!s) return false;
    bool ok = gsf_output_write(s, data.size(), reinterpret_cast<const guint8*>(data.constData()));
    gsf_output_close(s);
    g_object_unref(s);
    return ok;
}

void insertMeta(GsfDocMetaData* meta, const char* name, const QString& value) {
    if (value.isEmpty()) return;
    GValue* v = g_new0(GValue, 1);
    g_value_init(v, G_TYPE_STRING);
    g_value_set_string(v, value.toUtf8().constData());
    gsf_doc_meta_data_insert(meta, g_strdup(name), v);
}

void insertDate(GsfDocMetaData* meta, const char* name, const QDateTime& value) {
    if (!value.isValid()) return;
    GsfTimestamp* stamp = gsf_timestamp_new();
    gsf_timestamp_set_time(stamp, guint64(value.toSecsSinceEpoch()));
    GValue* v = g_new0(GValue, 1);
    g_value_init(v, GSF_TIMESTAMP_TYPE);
    gsf_timestamp_to_value(stamp, v);
    gsf_timestamp_free(stamp);
    gsf_doc_meta_data_insert(meta, g_strdup(name), v);
}

// Writes a property set stream and lets the properties go.
bool writeMeta(GsfOutfile* root, const char* stream, GsfDocMetaData* meta, bool docSummary) {
    GsfOutput* out = gsf_outfile_new_child(root, stream, FALSE);
    const bool ok = gsf_doc_meta_data_write_to_msole(meta, out, docSummary);
    gsf_output_close(out);
    g_object_unref(out);
    g_object_unref(meta);
    return ok;
}

}  // namespace

// Compressed container: greedy matching inside each 4096-byte chunk.
// libgsf's decompressor finds the end of a full chunk only through an unused
// flag bit, so the last token sequence of a 4096-byte chunk is kept below
// eight tokens by splitting one copy token.
QByteArray XlsWriter::compress(const QByteArray& data) {
    struct Token { int pos, len, offset; };  // offset 0: literal
    QByteArray out(1, char(0x01));
    for (int chunkStart = 0; chunkStart == 0 || chunkStart < data.size(); chunkStart += 4096) {
        const int chunkEnd = std::min<int>(chunkStart + 4096, data.size());
        std::vector<Token> tokens;
        for (int pos = chunkStart; pos < chunkEnd;) {
            int diff = pos - chunkStart, bitCount = 4;
            while ((1 << bitCount) < diff) ++bitCount;
            int maxLen = (0xFFFF >> bitCount) + 3, bestLen = 0, bestOff = 0;
            for (int cand = std::max(chunkStart, pos - (1 << bitCount)); cand < pos; ++cand) {
                int len = 0;
                while (len < maxLen && pos + len < chunkEnd && data[cand + len] == data[pos + len]) ++len;
                if (len > bestLen) { bestLen = len; bestOff = pos - cand; }
            }
            if (bestLen >= 3) { tokens.push_back({pos, bestLen, bestOff}); pos += bestLen; }
            else tokens.push_back({pos++, 1, 0});
        }
        if (chunkEnd - chunkStart == 4096 && tokens.size() % 8 == 0) {
            auto it = std::find_if(tokens.rbegin(), tokens.rend(), [](const Token& t) { return t.len >= 4; });
            if (it != tokens.rend()) {
                Token last{it->pos + it->len - 1, 1, 0};
                --it->len;
                tokens.insert(it.base(), last);
            } else {
                auto three = std::find_if(tokens.rbegin(), tokens.rend(), [](const Token& t) { return t.offset; });
                if (three != tokens.rend()) {
                    int p = three->pos;
                    auto at = tokens.erase(std::next(three).base());
                    tokens.insert(at, {Token{p, 1, 0}, Token{p + 1, 1, 0}, Token{p + 2, 1, 0}});
                }
            }
        }
        QByteArray body;
        for (size_t i = 0; i < tokens.size(); i += 8) {
            int flagPos = body.size();
            body.append(char(0));
            quint8 flags = 0;
            for (size_t t = 0; t < 8 && i + t < tokens.size(); ++t) {
                const Token& tok = tokens[i + t];
                if (!tok.offset) { body.append(data[tok.pos]); continue; }
                int diff = tok.pos - chunkStart, bitCount = 4;
                while ((1 << bitCount) < diff) ++bitCount;
                put16(body, quint16(((tok.offset - 1) << (16 - bitCount)) | (tok.len - 3)));
                flags |= quint8(1 << t);
            }
            body[flagPos] = char(flags);
        }
        if (body.size() > 4096 && chunkEnd - chunkStart == 4096) {
            // Incompressible: a raw chunk carries the 4096 bytes as they are.
            put16(out, quint16(0x3000 | 0x0FFF));
            out += data.mid(chunkStart, 4096);
        } else {
            put16(out, quint16(0xB000 | ((body.size() + 2 - 3) & 0x0FFF)));
            out += body;
        }
        if (data.isEmpty()) break;
    }
    return out;
}

bool XlsWriter::save(const QString& path) const {
    gsf_init();
    GError* error = nullptr;
    GsfOutput* file = gsf_output_stdio_new(QFile::encodeName(path).constData(), &error);
    if (!file) {
        if (error) g_error_free(error);
        return false;
    }
    GsfOutfile* root = gsf_outfile_msole_new(file);
    bool ok = writeStream(root, streamName_, streamBytes_.isEmpty() ? workbookStream() : streamBytes_);

    GsfDocMetaData* summary = gsf_doc_meta_data_new();
    insertMeta(summary, GSF_META_NAME_TITLE, title_);
    insertMeta(summary, GSF_META_NAME_CREATOR, author_);
    insertDate(summary, GSF_META_NAME_DATE_CREATED, created_);
    insertDate(summary, GSF_META_NAME_PRINT_DATE, printed_);
    ok = writeMeta(root, "\005SummaryInformation", summary, false) && ok;
    GsfDocMetaData* docSummary = gsf_doc_meta_data_new();
    insertMeta(docSummary, GSF_META_NAME_COMPANY, company_);
    ok = writeMeta(root, "\005DocumentSummaryInformation", docSummary, true) && ok;

    if (!modules_.empty()) {
        const int cp = vbaCodePage_;
        const QByteArray projectId = "{1B0A0D3E-6B2C-4B4F-9E65-0C3C0A9D1F11}";
        GsfOutfile* vbaRoot = GSF_OUTFILE(gsf_outfile_new_child(root, "_VBA_PROJECT_CUR", TRUE));
        GsfOutfile* vba = GSF_OUTFILE(gsf_outfile_new_child(vbaRoot, "VBA", TRUE));

        QByteArray dir;
        dirRecord(dir, 0x0001, u32(1));           // system kind: 32-bit Windows
        dirRecord(dir, 0x0002, u32(0x409));       // LCID
        dirRecord(dir, 0x0014, u32(0x409));       // LCID invoke
        dirRecord(dir, 0x0003, u16(quint16(cp))); // code page
        dirRecord(dir, 0x0004, "VBAProject");
        dirRecord(dir, 0x0005, {});
        dirRecord(dir, 0x0040, {});
        dirRecord(dir, 0x0006, {});
        dirRecord(dir, 0x003D, {});
        dirRecord(dir, 0x0007, u32(0));
        dirRecord(dir, 0x0008, u32(0));
        put16(dir, 0x0009); put32(dir, 4); put32(dir, 1); put16(dir, 0);  // version
        dirRecord(dir, 0x000F, u16(quint16(modules_.size())));
        dirRecord(dir, 0x0013, u16(0xFFFF));

        QByteArray projectText = "ID=\"" + projectId + "\"\r\n";
        for (const auto& m : modules_) {
            QByteArray name = encode(m.name, cp);
            dirRecord(dir, 0x0019, name);
            dirRecord(dir, 0x0047, utf16(m.name));
            dirRecord(dir, 0x001A, name);
            dirRecord(dir, 0x0032, utf16(m.name));
            dirRecord(dir, 0x001C, {});
            dirRecord(dir, 0x0048, {});
            dirRecord(dir, 0x0031, u32(0));  // source starts at offset 0
            dirRecord(dir, 0x001E, u32(0));
            dirRecord(dir, 0x002C, u16(0xFFFF));
            dirRecord(dir, m.type == XlsModule::Standard ? 0x0021 : 0x0022, {});
            dirRecord(dir, 0x002B, {});

            QByteArray source = encode(attributes(m) + m.code, cp);
            ok = ok && writeStream(vba, m.name.toUtf8().constData(),
                                   m.damaged ? QByteArray("\x02" "damaged", 8) : compress(source));
            switch (m.type) {
            case XlsModule::Standard: projectText += "Module=" + name + "\r\n"; break;
            case XlsModule::Class: projectText += "Class=" + name + "\r\n"; break;
            case XlsModule::Form: projectText += "BaseClass=" + name + "\r\n"; break;
            case XlsModule::Document: projectText += "Document=" + name + "/&H00000000\r\n"; break;
            }
        }
        dirRecord(dir, 0x0010, {});
        ok = ok && writeStream(vba, "dir", compress(dir));
        ok = ok && writeStream(vba, "_VBA_PROJECT", QByteArray("\xCC\x61\xFF\xFF\x00\x00\x00", 7));

        const bool hasForm = std::any_of(modules_.begin(), modules_.end(),
                                         [](const XlsModule& m) { return m.type == XlsModule::Form; });
        if (hasForm) projectText += "Package={AC9F2F90-E877-11CE-9F68-00AA00574A4F}\r\n";
        projectText += "Name=\"VBAProject\"\r\nHelpContextID=\"0\"\r\nVersionCompatible32=\"393222000\"\r\n";
        const char visible = protectedProject_ ? '\x00' : '\xFF';
        const char protection = protectedProject_ ? '\x07' : '\x00';
        projectText += "CMG=\"" + obfuscate(u32(quint32(protection)), projectId) + "\"\r\n";
        projectText += "DPB=\"" + obfuscate(QByteArray(1, '\0'), projectId) + "\"\r\n";
        projectText += "GC=\"" + obfuscate(QByteArray(1, visible), projectId) + "\"\r\n\r\n";
        projectText += "[Host Extender Info]\r\n"
                       "&H00000001={3832D640-CF90-11CF-8E43-00A0C911005A};VBE;&H00000000\r\n";
        ok = ok && writeStream(vbaRoot, "PROJECT", projectText);

        gsf_output_close(GSF_OUTPUT(vba));
        g_object_unref(vba);
        // Each form's designer storage sits beside the VBA storage.
        for (const auto& m : modules_) {
            if (m.type != XlsModule::Form) continue;
            GsfOutfile* form = GSF_OUTFILE(gsf_outfile_new_child(vbaRoot, m.name.toUtf8().constData(), TRUE));
            ok = ok && form && writeStream(form, "\003VBFrame", encode(designerText(m), cp));
            ok = ok && writeStream(form, "f", emptyFormStream());
            ok = ok && writeStream(form, "o", {});
            if (form) {
                gsf_output_close(GSF_OUTPUT(form));
                g_object_unref(form);
            }
        }
        gsf_output_close(GSF_OUTPUT(vbaRoot));
        g_object_unref(vbaRoot);
    }
    ok = gsf_output_close(GSF_OUTPUT(root)) && ok;
    g_object_unref(root);  // closing the compound file closed its sink too
    g_object_unref(file);
    return ok;
}

}  // namespace tabulon::xlsw
