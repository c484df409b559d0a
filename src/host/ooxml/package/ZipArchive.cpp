#include "host/ooxml/package/ZipArchive.h"

#include "common/Error.h"
#include "host/ReadFailure.h"
#include "host/cfb/FileBytes.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <libdeflate.h>
#include <memory>
#include <utility>
#include <zip.h>

namespace tabulon::ooxml {

namespace {

// All parts of one package together may inflate to this many bytes for each
// byte of the package, and never less than kMinBudget: a real workbook
// compresses ten to thirty times, a crafted one up to a thousand times.
constexpr uint64_t kBudgetPerByte = 200;
constexpr uint64_t kMinBudget = uint64_t(1) << 30;
// A deflated part up to this size is inflated in one go (into memory the
// size it claims); a larger one is read piece by piece.
constexpr uint64_t kWholeInflateBytes = uint64_t(128) << 20;

[[noreturn]] void partFailure(const ZipEntry& entry, const QString& why) {
    throw Error(err::Refused, QStringLiteral("package part %1: %2").arg(entry.name, why));
}

// A name that could climb out of the package, or that no part could have:
// "..", empty or "." segments, absolute paths, drive letters.
bool unsafeName(const QString& name) {
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) ||
        name.contains(QLatin1Char(':')) || name.contains(QChar(0)))
        return true;
    const QStringList steps = name.split(QLatin1Char('/'));
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QString& s = steps[i];
        if (s == QLatin1String("..") || s == QLatin1String(".")) return true;
        if (s.isEmpty() && i + 1 < steps.size()) return true;
    }
    return false;
}

// The name in the first local file header (APPNOTE 4.3.7) is one of the
// parts an Office package begins with.
bool beginsWithPackagePart(const PackageBytes& b) {
    if (b.size < 30 || !looksLikeZip(b.data, b.size)) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(b.data);
    const size_t length = size_t(p[26] | (p[27] << 8));
    if (30 + length > b.size) return false;
    const QString name = QString::fromUtf8(b.data + 30, qsizetype(length));
    return name == u"[Content_Types].xml" || name.startsWith(u"_rels/") || name.startsWith(u"xl/") ||
           name.startsWith(u"docProps/") || name.startsWith(u"customXml/");
}

}  // namespace

PackageBytes PackageBytes::ofFile(const QString& path) {
    auto file = std::make_shared<const cfb::FileBytes>(path);
    PackageBytes b;
    b.data = reinterpret_cast<const char*>(file->data());
    b.size = file->size();
    b.owner = std::move(file);
    return b;
}

PackageBytes PackageBytes::of(QByteArray bytes) {
    auto held = std::make_shared<const QByteArray>(std::move(bytes));
    PackageBytes b;
    b.data = held->constData();
    b.size = size_t(held->size());
    b.owner = std::move(held);
    return b;
}

bool looksLikeZip(const char* data, size_t size) {
    return size >= 4 && data[0] == 'P' && data[1] == 'K' &&
           ((data[2] == 3 && data[3] == 4) || (data[2] == 5 && data[3] == 6));
}

ZipArchive::ZipArchive(PackageBytes bytes, const QString& path)
    : bytes_(std::move(bytes)), path_(path),
      budget_(std::make_shared<std::atomic<uint64_t>>(std::max(kMinBudget, uint64_t(bytes_.size) * kBudgetPerByte))) {
    open(true);
}

ZipArchive::ZipArchive(const ZipArchive& from, bool)
    : bytes_(from.bytes_), path_(from.path_), budget_(from.budget_), entries_(from.entries_) {
    open(false);
}

ZipArchive::ZipArchive(ZipArchive&& other) noexcept
    : bytes_(std::move(other.bytes_)), path_(std::move(other.path_)), budget_(std::move(other.budget_)),
      zip_(std::exchange(other.zip_, nullptr)), spare_(std::move(other.spare_)),
      spareCapacity_(std::exchange(other.spareCapacity_, 0)), entries_(std::move(other.entries_)), warnings_(std::move(other.warnings_)) {}

ZipArchive::~ZipArchive() {
    if (zip_) zip_discard(zip_);
}

ZipArchive ZipArchive::reopen() const {
    return ZipArchive(*this, true);
}

void ZipArchive::open(bool listEntries) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes_.data, bytes_.size, 0, &error);
    if (source) {
        zip_ = zip_open_from_source(source, ZIP_RDONLY, &error);
        if (!zip_) zip_source_free(source);
    }
    if (!zip_) {
        const int code = zip_error_code_zip(&error);
        const QString why = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        // A zip that cannot be opened is a damaged workbook when its first
        // part is one a workbook package begins with, else no workbook at all.
        if ((code == ZIP_ER_NOZIP && !looksLikeZip(bytes_.data, bytes_.size)) || !beginsWithPackagePart(bytes_))
            host::raiseReadFailure(host::ReadFailure::NotWorkbook, path_, QStringLiteral("not a zip package: %1").arg(why));
        host::raiseReadFailure(host::ReadFailure::Damaged, path_,
                               QStringLiteral("the zip directory cannot be read: %1").arg(why));
    }
    zip_error_fini(&error);
    if (!listEntries) return;
    const zip_int64_t count = zip_get_num_entries(zip_, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(zip_, uint64_t(i), ZIP_FL_ENC_GUESS, &st) != 0 || !st.name) {
            warnings_ << QStringLiteral("zip entry %1 unreadable: left out").arg(i);
            continue;
        }
        ZipEntry e;
        // Some writers separate folders the Windows way.
        e.name = QString::fromUtf8(st.name).replace(QLatin1Char('\\'), QLatin1Char('/'));
        e.index = i;
        e.size = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
        e.compressedSize = (st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : 0;
        e.method = (st.valid & ZIP_STAT_COMP_METHOD) ? int32_t(st.comp_method) : -1;
        e.crcKnown = (st.valid & ZIP_STAT_CRC) != 0;
        e.crc = e.crcKnown ? st.crc : 0;
        if (e.name.endsWith(QLatin1Char('/'))) continue;  // a folder entry
        if (unsafeName(e.name)) {
            warnings_ << QStringLiteral("zip entry '%1': unsafe part name, left out").arg(e.name);
            continue;
        }
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) {
            warnings_ << QStringLiteral("zip entry '%1' is encrypted by the zip format: left out").arg(e.name);
            continue;
        }
        if (find(e.name)) {
            warnings_ << QStringLiteral("zip entry '%1' appears twice: the first is read").arg(e.name);
            continue;
        }
        entries_.push_back(std::move(e));
    }
}

const ZipEntry* ZipArchive::find(const QString& partName) const {
    const QStringView name = partName.startsWith(QLatin1Char('/')) ? QStringView(partName).mid(1) : QStringView(partName);
    for (const ZipEntry& e : entries_)
        if (QStringView(e.name).compare(name, Qt::CaseInsensitive) == 0) return &e;
    return nullptr;
}

QByteArray ZipArchive::read(const ZipEntry& entry, uint64_t maxBytes) const {
    QByteArray out;
    out.reserve(qsizetype(std::min<uint64_t>(entry.size, std::min<uint64_t>(maxBytes, 64u << 20))));
    stream(entry, maxBytes, [&](const char* data, size_t size) { out.append(data, qsizetype(size)); });
    return out;
}

ZipArchive::PartReader::PartReader(const ZipArchive& zip, const ZipEntry& entry, uint64_t maxBytes)
    : zip_(zip), entry_(entry), limit_(std::min(maxBytes, kMaxPartBytes)) {
    if (entry.size > kMaxPartBytes)
        partFailure(entry, QStringLiteral("claims %1 bytes, more than 2 GB").arg(entry.size));
    if (entry.size > limit_)
        partFailure(entry, QStringLiteral("claims %1 bytes, more than the %2 this part may have").arg(entry.size).arg(limit_));
    if (entry.size > zip.budget_->load())
        partFailure(entry, QStringLiteral("claims %1 bytes: the package would inflate to more than %2 bytes")
                               .arg(entry.size)
                               .arg(std::max(kMinBudget, uint64_t(zip.bytes_.size) * kBudgetPerByte)));
    if (entry.method == ZIP_CM_DEFLATE && entry.crcKnown && entry.size > 0 && entry.size <= kWholeInflateBytes &&
        entry.compressedSize > 0 && entry.compressedSize <= zip.bytes_.size && inflateWhole())
        return;
    file_ = zip_fopen_index(zip.zip_, uint64_t(entry.index), 0);
    if (!file_) partFailure(entry, QString::fromUtf8(zip_strerror(zip.zip_)));
}

ZipArchive::PartReader::~PartReader() {
    if (file_) zip_fclose(file_);
    if (whole_ && wholeCapacity_ > zip_.spareCapacity_) {
        zip_.spare_ = std::move(whole_);
        zip_.spareCapacity_ = wholeCapacity_;
    }
}

// The stored bytes through libzip, inflated by libdeflate into the size the
// directory claims and checked against its CRC. False, with nothing spent,
// when any of it fails.
bool ZipArchive::PartReader::inflateWhole() {
    const auto raw = std::make_unique_for_overwrite<char[]>(entry_.compressedSize);
    zip_file_t* stored = zip_fopen_index(zip_.zip_, uint64_t(entry_.index), ZIP_FL_COMPRESSED);
    if (!stored) return false;
    const zip_int64_t got = zip_fread(stored, raw.get(), entry_.compressedSize);
    zip_fclose(stored);
    if (got < 0 || uint64_t(got) != entry_.compressedSize) return false;
    std::unique_ptr<char[]> out;
    uint64_t capacity = entry_.size;
    if (zip_.spareCapacity_ >= entry_.size) {
        out = std::move(zip_.spare_);
        capacity = std::exchange(zip_.spareCapacity_, 0);
    } else {
        out = std::make_unique_for_overwrite<char[]>(entry_.size);
    }
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    if (!d) return false;
    // Kept for the next part whatever happens to this one.
    whole_ = std::move(out);
    wholeCapacity_ = capacity;
    size_t inflated = 0;
    const libdeflate_result r =
        libdeflate_deflate_decompress(d, raw.get(), entry_.compressedSize, whole_.get(), entry_.size, &inflated);
    libdeflate_free_decompressor(d);
    if (r != LIBDEFLATE_SUCCESS || inflated != entry_.size || libdeflate_crc32(0, whole_.get(), inflated) != entry_.crc) {
        zip_.spare_ = std::move(whole_);
        zip_.spareCapacity_ = std::exchange(wholeCapacity_, 0);
        return false;
    }
    spend(entry_.size);
    return true;
}

// Every handle on the package spends from one budget, whatever the
// directory claims.
void ZipArchive::PartReader::spend(uint64_t bytes) {
    std::atomic<uint64_t>& budget = *zip_.budget_;
    uint64_t left = budget.load();
    do {
        if (bytes > left)
            partFailure(entry_, QStringLiteral("the package inflates to more than %1 bytes")
                                    .arg(std::max(kMinBudget, uint64_t(zip_.bytes_.size) * kBudgetPerByte)));
    } while (!budget.compare_exchange_weak(left, left - bytes));
}

size_t ZipArchive::PartReader::read(char* buffer, size_t capacity) {
    if (whole_) {
        const size_t n = size_t(std::min<uint64_t>(capacity, entry_.size - served_));
        std::memcpy(buffer, whole_.get() + served_, n);
        served_ += n;
        return n;
    }
    const zip_int64_t got = zip_fread(file_, buffer, capacity);
    if (got < 0) partFailure(entry_, QString::fromUtf8(zip_file_strerror(file_)));
    total_ += uint64_t(got);
    if (total_ > limit_) partFailure(entry_, QStringLiteral("inflates past %1 bytes").arg(limit_));
    spend(uint64_t(got));
    return size_t(got);
}

void ZipArchive::stream(const ZipEntry& entry, uint64_t maxBytes,
                        const std::function<void(const char*, size_t)>& sink) const {
    PartReader reader(*this, entry, maxBytes);
    char buffer[1 << 16];
    while (const size_t got = reader.read(buffer, sizeof buffer)) sink(buffer, got);
}

}  // namespace tabulon::ooxml
