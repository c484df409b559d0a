#pragma once
// One workbook read once, quietly. The worker reads the file's bytes itself,
// with O_NOATIME where the file's owner allows it (so the estate's access
// times stay as they were) and without following a symbolic link, hashing them
// on the way. The reader then opens those bytes, not the file: they sit in an
// anonymous memory file, reached through a link placed at the file's own
// folder path under the worker's scratch folder, so the links a workbook holds
// relative to its folder still resolve as they would beside the real file
// (unmirror() takes the scratch prefix off again). Where the system offers no
// memory file the reader opens the real path.
#include <QString>

namespace tabulon::inventory {

class Snapshot {
public:
    // Throws tabulon::Error 53 when the file cannot be opened or read, or is
    // no regular file. Bytes beyond `keepBytes` are hashed, not kept: such a
    // file is larger than the reader may take (kept() is false).
    Snapshot(const QString& path, const QString& scratchFolder, qint64 keepBytes);
    ~Snapshot();
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

    qint64 size() const { return size_; }
    const QString& sha256() const { return sha256_; }
    bool kept() const { return kept_; }
    // Where the reader opens the bytes.
    const QString& readPath() const { return readPath_; }
    // A path the reader resolved against readPath(), put back on the real folders.
    QString unmirror(const QString& resolved) const;

    // The SHA-256 of a file read the same quiet way, without keeping it.
    static QString hashOf(const QString& path);

private:
    void mirror(const QString& path, const QString& scratchFolder);

    int memfd_ = -1;
    qint64 size_ = 0;
    bool kept_ = false;
    QString sha256_;
    QString readPath_;
    QString mirrorRoot_;  // empty when the real path is read
};

}  // namespace tabulon::inventory
