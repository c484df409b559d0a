#include "host/cfb/CompoundFile.h"

#include "common/Error.h"
#include "host/ReadFailure.h"
#include "host/cfb/FileBytes.h"
#include "host/cfb/StreamRead.h"

#include <QFileInfo>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-utils.h>
#include <vector>

namespace tabulon::cfb {

// The bytes of one compound file and the library's view of them. Storages
// and streams handed out hold it, so the bytes outlive every one of them.
struct Container {
    std::unique_ptr<FileBytes> file;  // read from a path
    QByteArray held;                  // or given in memory
    GsfInput* input = nullptr;
    GsfInfile* root = nullptr;
    std::vector<GsfInput*> viewed;    // streams handed out as views: their bytes live with them
    ~Container() {
        for (GsfInput* child : viewed) g_object_unref(child);
        if (root) g_object_unref(root);
        if (input) g_object_unref(input);
    }
};

namespace {

void ensureGsfInitialised() {
    static const bool done = [] {
        gsf_init();
        return true;
    }();
    (void)done;
}

std::shared_ptr<GsfInfile> adopt(GsfInfile* infile) {
    if (!infile) return {};
    return std::shared_ptr<GsfInfile>(infile, [](GsfInfile* p) { g_object_unref(p); });
}

// Opens the library's view of bytes already held in the container; false
// when they are no compound file.
bool openContainer(Container& c, const unsigned char* bytes, size_t size) {
    ensureGsfInitialised();
    if (size > 0) c.input = gsf_input_memory_new(bytes, gsf_off_t(size), FALSE);
    GError* error = nullptr;
    if (c.input) c.root = gsf_infile_msole_new(c.input, &error);
    if (error) g_error_free(error);
    if (c.root) g_object_ref(c.root);  // one reference for the container, one for the root Storage
    return c.root != nullptr;
}

}  // namespace

Storage::Storage(std::shared_ptr<Container> container, GsfInfile* infile)
    : container_(std::move(container)), infile_(adopt(infile)) {}

int Storage::childIndex(const QString& name) const {
    if (!infile_) return -1;
    const int count = gsf_infile_num_children(infile_.get());
    int folded = -1;
    for (int i = 0; i < count; ++i) {
        const char* childName = gsf_infile_name_by_index(infile_.get(), i);
        if (!childName) continue;
        const QString child = QString::fromUtf8(childName);
        if (child == name) return i;
        if (folded < 0 && child.compare(name, Qt::CaseInsensitive) == 0) folded = i;
    }
    return folded;
}

Storage Storage::storage(const QString& name) const {
    const int index = childIndex(name);
    GsfInput* child = index < 0 ? nullptr : gsf_infile_child_by_index(infile_.get(), index);
    if (!child) return Storage();
    if (!GSF_IS_INFILE(child) || gsf_infile_num_children(GSF_INFILE(child)) < 0) {
        g_object_unref(child);
        return Storage();
    }
    return Storage(container_, GSF_INFILE(child));
}

bool Storage::hasStream(const QString& name) const {
    const int index = childIndex(name);
    GsfInput* child = index < 0 ? nullptr : gsf_infile_child_by_index(infile_.get(), index);
    if (!child) return false;
    const bool isStream = !GSF_IS_INFILE(child) || gsf_infile_num_children(GSF_INFILE(child)) < 0;
    g_object_unref(child);
    return isStream;
}

QStringList Storage::childNames() const {
    QStringList names;
    if (!infile_) return names;
    const int count = gsf_infile_num_children(infile_.get());
    for (int i = 0; i < count; ++i) names << QString::fromUtf8(gsf_infile_name_by_index(infile_.get(), i));
    return names;
}

QByteArray Storage::stream(const QString& name, qint64 maxBytes, bool* truncated) const {
    const int index = childIndex(name);
    GsfInput* child = index < 0 ? nullptr : gsf_infile_child_by_index(infile_.get(), index);
    if (!child) throw Error(err::Refused, QStringLiteral("Missing stream: %1").arg(name));
    std::unique_ptr<GsfInput, void (*)(GsfInput*)> owner(child, [](GsfInput* p) { g_object_unref(p); });
    // The directory's size is only a claim: what the sectors hold is read,
    // and the budget applies to that.
    StreamBytes read = readAvailable(child, maxBytes);
    if (read.overLimit) throw Error(err::Refused, QStringLiteral("Stream too large: %1").arg(name));
    if (truncated) *truncated = read.truncated;
    return std::move(read.bytes);
}

std::optional<QByteArray> Storage::findStream(const QString& name, bool* truncated) const {
    if (truncated) *truncated = false;
    if (!hasStream(name)) return std::nullopt;
    // A stream cannot hold more than the file: the file's size is the limit.
    bool cut = false;
    try {
        QByteArray bytes = stream(name, gsf_input_size(container_->input), &cut);
        if (truncated) *truncated = cut;
        return bytes;
    } catch (const Error&) {
        if (truncated) *truncated = true;
        return QByteArray();
    }
}

CompoundFile::CompoundFile(const QString& path) : container_(std::make_shared<Container>()) {
    if (!QFileInfo(path).isFile())
        host::raiseReadFailure(host::ReadFailure::FileMissing, path, QStringLiteral("file not found"));
    container_->file = std::make_unique<FileBytes>(path);
    if (container_->file->size() == 0)
        host::raiseReadFailure(host::ReadFailure::EmptyFile, path, QStringLiteral("the file is empty"));
    if (!openContainer(*container_, container_->file->data(), container_->file->size()))
        host::raiseReadFailure(host::ReadFailure::NotWorkbook, path,
                               QStringLiteral("not an .xls workbook (no compound document structure)"));
    root_ = Storage(container_, container_->root);
}

CompoundFile CompoundFile::fromBytes(QByteArray bytes) {
    CompoundFile file;
    file.container_ = std::make_shared<Container>();
    file.container_->held = std::move(bytes);
    const QByteArray& held = file.container_->held;
    if (!openContainer(*file.container_, reinterpret_cast<const unsigned char*>(held.constData()), size_t(held.size())))
        throw Error(err::Refused, QStringLiteral("Not a compound file"));
    file.root_ = Storage(file.container_, file.container_->root);
    return file;
}

CompoundFile::CompoundFile(CompoundFile&&) noexcept = default;
CompoundFile& CompoundFile::operator=(CompoundFile&&) noexcept = default;
CompoundFile::~CompoundFile() = default;

std::optional<QByteArray> CompoundFile::rootStreamView(const QString& name, bool* truncated) const {
    if (truncated) *truncated = false;
    const int index = root_.childIndex(name);
    GsfInput* child = index < 0 ? nullptr : gsf_infile_child_by_index(container_->root, index);
    if (!child) return std::nullopt;
    // A stream whose sectors follow each other in the file is handed out
    // where it lies; any other is gathered by the library into a buffer of
    // its own, kept with the stream. A stream that cannot be read whole is
    // read as far as it goes.
    const gsf_off_t size = gsf_input_size(child);
    const guint8* bytes =
        size > 0 && size <= gsf_input_size(container_->input) ? gsf_input_read(child, size_t(size), nullptr) : nullptr;
    if (!bytes) {
        g_object_unref(child);
        return size > 0 ? rootStream(name, truncated) : QByteArray();
    }
    container_->viewed.push_back(child);
    return QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size));
}

}  // namespace tabulon::cfb
