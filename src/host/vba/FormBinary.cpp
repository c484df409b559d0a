#include "host/vba/FormBinary.h"

#include "common/Error.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-output.h>

#include <memory>

namespace tabulon::vba {
namespace {

const QString VBFrameName = QStringLiteral("\003VBFrame");

struct Unref {
    void operator()(void* p) const { g_object_unref(p); }
};

void copyStorage(const cfb::Storage& from, GsfOutfile* to, qint64& budget, bool top) {
    for (const QString& name : from.childNames()) {
        if (top && name == VBFrameName)
            continue;
        const QByteArray utf8 = name.toUtf8();
        const cfb::Storage child = from.storage(name);
        if (!child.isNull()) {
            std::unique_ptr<GsfOutput, Unref> dir(
                gsf_outfile_new_child(to, utf8.constData(), TRUE));
            if (!dir)
                throw Error(err::Refused, QStringLiteral("Cannot write form storage %1").arg(name));
            copyStorage(child, GSF_OUTFILE(dir.get()), budget, false);
            gsf_output_close(dir.get());
            continue;
        }
        const QByteArray bytes = from.stream(name, budget);
        budget -= bytes.size();
        std::unique_ptr<GsfOutput, Unref> stream(
            gsf_outfile_new_child(to, utf8.constData(), FALSE));
        if (!stream || !gsf_output_write(stream.get(), static_cast<size_t>(bytes.size()),
                                         reinterpret_cast<const guint8*>(bytes.constData())))
            throw Error(err::Refused, QStringLiteral("Cannot write form stream %1").arg(name));
        gsf_output_close(stream.get());
    }
}

}  // namespace

QByteArray formBinary(const cfb::Storage& designer, qint64 maxBytes) {
    std::unique_ptr<GsfOutput, Unref> memory(gsf_output_memory_new());
    QByteArray result;
    {
        std::unique_ptr<GsfOutfile, Unref> outfile(gsf_outfile_msole_new(memory.get()));
        qint64 budget = maxBytes;
        copyStorage(designer, outfile.get(), budget, true);
        // Closing the compound file writes its directory and closes the sink.
        gsf_output_close(GSF_OUTPUT(outfile.get()));
    }
    const gsf_off_t size = gsf_output_size(memory.get());
    const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory.get()));
    if (bytes && size > 0)
        result = QByteArray(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
    return result;
}

}  // namespace tabulon::vba
