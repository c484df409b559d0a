#pragma once
// The workbook's OLE compound file (MS-CFB), read through libgsf from the
// file's bytes held in memory. Only the streams the reader needs are pulled
// out, and only as many bytes as the file really holds.
#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

namespace tabulon::cfb {

class CompoundFile {
public:
    // Throws tabulon::Error: 53 when the file is missing, 1004 when it is not
    // a compound file.
    explicit CompoundFile(const QString& path);
    ~CompoundFile();
    CompoundFile(const CompoundFile&) = delete;
    CompoundFile& operator=(const CompoundFile&) = delete;

    // A root stream by name, compared without case; nothing when absent.
    // Stops at the first sector that cannot be read (truncated flag set).
    std::optional<QByteArray> rootStream(const QString& name, bool* truncated = nullptr) const;
    // The same stream without a copy where the file allows it: the bytes
    // stay valid as long as this object lives.
    std::optional<QByteArray> rootStreamView(const QString& name, bool* truncated = nullptr) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace tabulon::cfb
