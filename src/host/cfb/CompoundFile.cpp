#include "host/cfb/CompoundFile.h"

#include "common/Error.h"
#include "host/ReadFailure.h"
#include "host/cfb/FileBytes.h"
#include "host/cfb/StreamRead.h"

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
        host::raiseReadFailure(host::ReadFailure::FileMissing, path, QStringLiteral("file not found"));
    d->bytes = std::make_unique<FileBytes>(path);
    if (d->bytes->size() == 0)
        host::raiseReadFailure(host::ReadFailure::EmptyFile, path, QStringLiteral("the file is empty"));
    if (d->bytes->size() > 0)
        d->input = gsf_input_memory_new(d->bytes->data(), gsf_off_t(d->bytes->size()), FALSE);
    GError* gerr = nullptr;
    if (d->input) d->root = gsf_infile_msole_new(d->input, &gerr);
    if (!d->root) {
        if (gerr) g_error_free(gerr);
        host::raiseReadFailure(host::ReadFailure::NotWorkbook, path,
                               QStringLiteral("not an .xls workbook (no compound document structure)"));
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
        // A stream cannot hold more than the file: the file's size is the limit.
        StreamBytes read = readAvailable(child, gsf_input_size(d->input));
        g_object_unref(child);
        if (truncated) *truncated = read.truncated || read.overLimit;
        return std::move(read.bytes);
    }
    return std::nullopt;
}

}  // namespace tabulon::cfb
