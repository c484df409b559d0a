#pragma once
// The zip container of an Office Open XML package, read through libzip from
// bytes held in memory. Every entry is checked before it is read: unsafe
// names are left out, a part larger than 2 GB or larger than the package
// could plausibly inflate to is refused, and no read goes past the size the
// caller allows, whatever the entry claims.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

typedef struct zip zip_t;
typedef struct zip_file zip_file_t;

namespace tabulon::ooxml {

// The bytes of a package: the file as read, or the decrypted package of an
// encrypted workbook. Shared by every handle opened on them.
struct PackageBytes {
    std::shared_ptr<const void> owner;
    const char* data = nullptr;
    size_t size = 0;

    static PackageBytes ofFile(const QString& path);   // throws Error 53
    static PackageBytes of(QByteArray bytes);
};

struct ZipEntry {
    QString name;             // as stored, "xl/workbook.xml"
    int64_t index = 0;        // libzip's index
    uint64_t size = 0;        // inflated size as the directory claims it
    uint64_t compressedSize = 0;
    int32_t method = -1;      // how it is compressed (8: deflated), -1 unknown
    uint32_t crc = 0;         // the CRC-32 the directory records
    bool crcKnown = false;
};

class ZipArchive {
public:
    // A part larger than this is never read.
    static constexpr uint64_t kMaxPartBytes = (uint64_t(2) << 30) - 1;

    // Opens the central directory. Throws a ReadError: NotWorkbook when the
    // bytes are no zip file, Damaged when its directory cannot be read.
    ZipArchive(PackageBytes bytes, const QString& path);
    ~ZipArchive();
    ZipArchive(ZipArchive&&) noexcept;
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // A second handle on the same bytes, for reading on another thread:
    // one handle must not be read from two threads at once.
    ZipArchive reopen() const;

    const std::vector<ZipEntry>& entries() const { return entries_; }
    // The entry of a part name ("/xl/workbook.xml" or "xl/workbook.xml"),
    // compared without case as package part names are; null when absent.
    const ZipEntry* find(const QString& partName) const;

    // The whole entry. Throws Error 1004 when it inflates to more than
    // maxBytes (or to more than it claims) or its data is damaged.
    QByteArray read(const ZipEntry& entry, uint64_t maxBytes) const;
    // The inflated bytes in pieces, as they come: no more than maxBytes in
    // all. The same failures as read().
    void stream(const ZipEntry& entry, uint64_t maxBytes,
                const std::function<void(const char* data, size_t size)>& sink) const;

    // One part read piece by piece as the reader asks for it, with the same
    // limits as stream(). One at a time per handle and thread.
    class PartReader {
    public:
        PartReader(const ZipArchive& zip, const ZipEntry& entry, uint64_t maxBytes);
        ~PartReader();
        PartReader(const PartReader&) = delete;
        PartReader& operator=(const PartReader&) = delete;
        // Up to capacity inflated bytes; 0 at the end. Throws Error 1004.
        size_t read(char* buffer, size_t capacity);

    private:
        bool inflateWhole();
        void spend(uint64_t bytes);
        const ZipArchive& zip_;
        const ZipEntry& entry_;
        uint64_t limit_;
        uint64_t total_ = 0;
        zip_file_t* file_ = nullptr;
        // A deflated part of moderate size is inflated at once (libdeflate is
        // about twice as fast as inflating piece by piece) and handed out
        // from here; anything it cannot read goes the piecewise way, which
        // keeps what comes before damage.
        std::unique_ptr<char[]> whole_;
        uint64_t wholeCapacity_ = 0;
        uint64_t served_ = 0;
    };

    // Lowers what the parts of the package may still inflate to, together
    // (by default 200 bytes for each byte of the package, at least 1 GB).
    void limitInflation(uint64_t bytes) { budget_->store(std::min(bytes, budget_->load())); }

    // Entries left out while the directory was read, and why.
    const QStringList& warnings() const { return warnings_; }
    const QString& path() const { return path_; }
    const PackageBytes& bytes() const { return bytes_; }

private:
    ZipArchive(const ZipArchive& from, bool);  // reopen()
    void open(bool listEntries);
    PackageBytes bytes_;
    QString path_;
    // What the parts of the package may still inflate to, shared by every
    // handle on the same bytes.
    std::shared_ptr<std::atomic<uint64_t>> budget_;
    zip_t* zip_ = nullptr;
    // The memory the last part inflated whole was read into, kept for the
    // next one read on this handle (sheet after sheet on one thread).
    mutable std::unique_ptr<char[]> spare_;
    mutable uint64_t spareCapacity_ = 0;
    std::vector<ZipEntry> entries_;
    QStringList warnings_;
};

// Whether bytes begin as a zip file does (a local file header, or the end
// record of an empty archive).
bool looksLikeZip(const char* data, size_t size);

}  // namespace tabulon::ooxml
