#pragma once
// The workbook's OLE compound file (MS-CFB), read through libgsf. Only the
// streams the reader needs are pulled out, each whole into memory, and only as
// many bytes as the file really holds.
#include <QByteArray>
#include <QString>
#include <QStringList>
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

    // Names of the streams and storages at the root.
    QStringList rootNames() const;
    // A root stream by name, compared without case; nothing when absent.
    // Stops at the first sector that cannot be read (truncated flag set).
    std::optional<QByteArray> rootStream(const QString& name, bool* truncated = nullptr) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace tabulon::cfb
