#include "host/vba/Compound.h"

#include "common/Error.h"
#include "host/cfb/StreamRead.h"

#include <QFile>
#include <QFileInfo>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-utils.h>

namespace tabulon::vba {
namespace {

std::shared_ptr<GsfInfile> adopt(GsfInfile* infile) {
    if (!infile)
        return {};
    return std::shared_ptr<GsfInfile>(infile, [](GsfInfile* p) { g_object_unref(p); });
}

void ensureGsfInitialised() {
    static const bool done = [] {
        gsf_init();
        return true;
    }();
    (void)done;
}

}  // namespace

Storage::Storage(GsfInfile* infile) : infile_(adopt(infile)) {}

Storage Storage::open(const QString& path) {
    ensureGsfInitialised();
    if (!QFileInfo(path).isFile())
        throw Error(err::FileNotFound, QStringLiteral("File not found: %1").arg(path));
    GError* error = nullptr;
    GsfInput* input = gsf_input_stdio_new(QFile::encodeName(path).constData(), &error);
    if (!input) {
        const QString reason = error ? QString::fromUtf8(error->message) : QString();
        if (error)
            g_error_free(error);
        throw Error(err::FileNotFound, QStringLiteral("Cannot open %1: %2").arg(path, reason));
    }
    GsfInfile* infile = gsf_infile_msole_new(input, &error);
    g_object_unref(input);
    if (!infile) {
        if (error)
            g_error_free(error);
        throw Error(err::Refused, QStringLiteral("Not a compound file: %1").arg(path));
    }
    return Storage(infile);
}

int Storage::childIndex(const QString& name) const {
    if (!infile_)
        return -1;
    const int count = gsf_infile_num_children(infile_.get());
    // Compound-file names compare case-insensitively; an exact match wins.
    int folded = -1;
    for (int i = 0; i < count; ++i) {
        const QString child = QString::fromUtf8(gsf_infile_name_by_index(infile_.get(), i));
        if (child == name)
            return i;
        if (folded < 0 && child.compare(name, Qt::CaseInsensitive) == 0)
            folded = i;
    }
    return folded;
}

Storage Storage::storage(const QString& name) const {
    const int index = childIndex(name);
    if (index < 0)
        return Storage(nullptr);
    GsfInput* child = gsf_infile_child_by_index(infile_.get(), index);
    if (!child)
        return Storage(nullptr);
    if (!GSF_IS_INFILE(child) || gsf_infile_num_children(GSF_INFILE(child)) < 0) {
        g_object_unref(child);
        return Storage(nullptr);
    }
    return Storage(GSF_INFILE(child));
}

bool Storage::isStorage(const QString& name) const {
    return !storage(name).isNull();
}

bool Storage::hasStream(const QString& name) const {
    const int index = childIndex(name);
    if (index < 0)
        return false;
    GsfInput* child = gsf_infile_child_by_index(infile_.get(), index);
    if (!child)
        return false;
    const bool isStream = !GSF_IS_INFILE(child) || gsf_infile_num_children(GSF_INFILE(child)) < 0;
    g_object_unref(child);
    return isStream;
}

QByteArray Storage::stream(const QString& name, qint64 maxBytes, bool* truncated) const {
    const int index = childIndex(name);
    GsfInput* child = index < 0 ? nullptr : gsf_infile_child_by_index(infile_.get(), index);
    if (!child)
        throw Error(err::Refused, QStringLiteral("Missing stream: %1").arg(name));
    std::unique_ptr<GsfInput, void (*)(GsfInput*)> owner(
        child, [](GsfInput* p) { g_object_unref(p); });
    // The directory's size is only a claim: what the sectors hold is read,
    // and the budget applies to that.
    cfb::StreamBytes read = cfb::readAvailable(child, maxBytes);
    if (read.overLimit)
        throw Error(err::Refused, QStringLiteral("Stream too large: %1").arg(name));
    if (truncated)
        *truncated = read.truncated;
    return std::move(read.bytes);
}

QStringList Storage::childNames() const {
    QStringList names;
    if (!infile_)
        return names;
    const int count = gsf_infile_num_children(infile_.get());
    for (int i = 0; i < count; ++i)
        names << QString::fromUtf8(gsf_infile_name_by_index(infile_.get(), i));
    return names;
}

}  // namespace tabulon::vba
