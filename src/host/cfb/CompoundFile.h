#pragma once
// The one reader of OLE compound files (MS-CFB), through libgsf: a workbook,
// the VBA project inside it (or inside an Office Open XML package, where it
// is a compound file of its own), an add-in's document properties. The
// whole file is read into memory once; storages and streams are read from
// there, and only as many bytes as the file really holds. Every read is
// bounded: a stream larger than the caller's limit is an error, never an
// allocation of the size the directory claims.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

typedef struct _GsfInfile GsfInfile;

namespace tabulon::cfb {

struct Container;

// One storage (the root or a child storage) of an open compound file. It
// keeps the file's bytes alive as long as it lives.
class Storage {
public:
    Storage() = default;

    bool isNull() const { return !infile_; }
    // A child storage, or a null Storage when there is none by that name.
    // Names compare without case; an exact match wins.
    Storage storage(const QString& name) const;
    bool isStorage(const QString& name) const { return !storage(name).isNull(); }
    bool hasStream(const QString& name) const;
    // Names of the direct children (streams and storages), directory order.
    QStringList childNames() const;
    // The whole stream; throws Error 1004 when it is missing or larger than
    // maxBytes. A stream whose directory entry claims more than the file
    // holds is read as far as it goes and `truncated` (when given) set.
    QByteArray stream(const QString& name, qint64 maxBytes, bool* truncated = nullptr) const;
    // The same, or nothing when the stream is absent; at most the file's size.
    std::optional<QByteArray> findStream(const QString& name, bool* truncated = nullptr) const;

private:
    friend class CompoundFile;
    Storage(std::shared_ptr<Container> container, GsfInfile* infile);
    int childIndex(const QString& name) const;
    std::shared_ptr<Container> container_;
    std::shared_ptr<GsfInfile> infile_;
};

class CompoundFile {
public:
    // Reads the file. Throws a host::ReadError: FileMissing when it is not
    // there or cannot be read, NotWorkbook when it is no compound file.
    explicit CompoundFile(const QString& path);
    // A compound file held in memory. Throws Error 1004 when it is none.
    static CompoundFile fromBytes(QByteArray bytes);
    CompoundFile(CompoundFile&&) noexcept;
    CompoundFile& operator=(CompoundFile&&) noexcept;
    ~CompoundFile();

    const Storage& root() const { return root_; }
    // A root stream by name, compared without case; nothing when absent.
    // Stops at the first sector that cannot be read (truncated flag set).
    std::optional<QByteArray> rootStream(const QString& name, bool* truncated = nullptr) const {
        return root_.findStream(name, truncated);
    }
    // The same stream without a copy where the file allows it: the bytes
    // stay valid as long as this object lives.
    std::optional<QByteArray> rootStreamView(const QString& name, bool* truncated = nullptr) const;

private:
    CompoundFile() = default;
    std::shared_ptr<Container> container_;
    Storage root_;
};

}  // namespace tabulon::cfb
