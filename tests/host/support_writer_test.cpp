// The test workbook writer must produce what real files hold, or the crafted
// cases prove nothing: its compressed VBA containers have to inflate back to
// the same bytes through the decompressor the reader uses.
#include "support/XlsWriter.h"

#include <gsf/gsf-infile-msvba.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-utils.h>
#include <gtest/gtest.h>

#include <QRandomGenerator>

using tabulon::test::XlsWriter;

namespace {
QByteArray inflate(const QByteArray& container) {
    gsf_init();
    GsfInput* in = gsf_input_memory_new(reinterpret_cast<const guint8*>(container.constData()),
                                        container.size(), FALSE);
    int size = 0;
    guint8* out = gsf_vba_inflate(in, 0, &size, FALSE);
    QByteArray result = out ? QByteArray(reinterpret_cast<char*>(out), size) : QByteArray();
    g_free(out);
    g_object_unref(in);
    return result;
}
}  // namespace

TEST(WriterCompression, RoundTripsThroughTheReadersDecompressor) {
    QByteArray repetitive;
    for (int i = 0; i < 900; ++i)
        repetitive += "Attribute VB_Name = \"Module" + QByteArray::number(i % 7) + "\"\r\n";
    // Source-like text with few repeats (libgsf's decompressor, like the VBA
    // editor, knows no raw chunks, so the data must compress).
    QByteArray text;
    auto* gen = QRandomGenerator::global();
    while (text.size() < 10000) {
        static const char* words[] = {"Dim ", "As Long", "For i = ", "Next", "If ", "Then\r\n",
                                      "Call Proc", "End Sub\r\n", "x", "y", "' note"};
        text += words[gen->bounded(11)];
        text += QByteArray::number(gen->bounded(1000));
    }
    // One chunk and its boundary: crafted modules stay below 4 KB, because
    // libgsf's decompressor reads some valid multi-chunk streams differently.
    for (const QByteArray& data : {QByteArray("abc"), repetitive.left(4096), text.left(100),
                                   text.left(3000), text.left(4095), text.left(4096)}) {
        EXPECT_EQ(inflate(XlsWriter::compress(data)), data) << "size " << data.size();
    }
}
