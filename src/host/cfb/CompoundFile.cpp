#include "host/cfb/CompoundFile.h"

#include "common/Error.h"
#include "host/cfb/FileBytes.h"

#include <QFileInfo>
#include <vector>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-utils.h>

namespace tabulon::cfb {

namespace {

// A root stream by name, compared without case; the caller unrefs it.
GsfInput* findRootChild(GsfInfile* root, const QString& name) {
    const int n = gsf_infile_num_children(root);
    for (int i = 0; i < n; ++i) {
        const char* childName = gsf_infile_name_by_index(root, i);
        if (childName && QString::fromUtf8(childName).compare(name, Qt::CaseInsensitive) == 0)
            if (GsfInput* child = gsf_infile_child_by_index(root, i)) return child;
    }
    return nullptr;
}

}  // namespace

struct CompoundFile::Impl {
    std::unique_ptr<FileBytes> bytes;    // the whole file: the library reads the sectors from here
    GsfInput* input = nullptr;
    GsfInfile* root = nullptr;
    std::vector<GsfInput*> viewed;       // streams handed out as views: their bytes live with them
    ~Impl() {
        for (GsfInput* child : viewed) g_object_unref(child);
        if (root) g_object_unref(root);
        if (input) g_object_unref(input);
    }
};

CompoundFile::CompoundFile(const QString& path) : d(std::make_unique<Impl>()) {
    static const bool initialised = [] { gsf_init(); return true; }();
    (void)initialised;
    if (!QFileInfo(path).isFile())
        throw Error(err::FileNotFound, QStringLiteral("File not found: %1").arg(path));
    d->bytes = std::make_unique<FileBytes>(path);
    if (d->bytes->size() > 0)
        d->input = gsf_input_memory_new(d->bytes->data(), gsf_off_t(d->bytes->size()), FALSE);
    GError* gerr = nullptr;
    if (d->input) d->root = gsf_infile_msole_new(d->input, &gerr);
    if (!d->root) {
        if (gerr) g_error_free(gerr);
        throw Error(err::Refused,
                    QStringLiteral("'%1': not an .xls workbook (no compound document structure)").arg(QFileInfo(path).fileName()));
    }
}

CompoundFile::~CompoundFile() = default;

std::optional<QByteArray> CompoundFile::rootStreamView(const QString& name, bool* truncated) const {
    if (truncated) *truncated = false;
    GsfInput* child = findRootChild(d->root, name);
    if (!child) return std::nullopt;
    // A stream whose sectors follow each other in the file is handed out
    // where it lies; any other is gathered by the library into a buffer of
    // its own, kept with the stream. A stream that cannot be read whole is
    // read as far as it goes.
    const gsf_off_t size = gsf_input_size(child);
    const guint8* bytes = size > 0 && size <= gsf_input_size(d->input) ? gsf_input_read(child, size_t(size), nullptr) : nullptr;
    if (!bytes) {
        g_object_unref(child);
        return size > 0 ? rootStream(name, truncated) : QByteArray();
    }
    d->viewed.push_back(child);
    return QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size));
}

std::optional<QByteArray> CompoundFile::rootStream(const QString& name, bool* truncated) const {
    if (truncated) *truncated = false;
    if (GsfInput* child = findRootChild(d->root, name)) {
        QByteArray bytes;
        // Read in chunks: the directory's stream size is only a claim, the
        // buffer grows with the sectors that can really be read.
        constexpr gsf_off_t chunk = 64 * 1024;
        gsf_off_t left = gsf_input_size(child);
        // One allocation for the whole stream; the file's own size bounds
        // the claim, so a forged size cannot reserve more than is there.
        bytes.reserve(qsizetype(std::min(left, gsf_input_size(d->input))));
        while (left > 0) {
            // Straight into the buffer, not through the library's own copy.
            const gsf_off_t want = std::min(left, chunk);
            const qsizetype had = bytes.size();
            bytes.resize(had + qsizetype(want));
            if (!gsf_input_read(child, size_t(want), reinterpret_cast<guint8*>(bytes.data()) + had)) {
                bytes.resize(had);
                if (truncated) *truncated = true;
                break;
            }
            left -= want;
        }
        g_object_unref(child);
        return bytes;
    }
    return std::nullopt;
}

}  // namespace tabulon::cfb
