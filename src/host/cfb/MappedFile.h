#pragma once
// A file mapped read-only into memory, so its bytes are read where the
// system already caches them instead of being copied.
//
// A mapped file that another program shortens while it is mapped would
// make reading the lost pages raise SIGBUS and end the program. While a
// MappedFile is alive, its lost pages read as zeros instead, and changed()
// says so: the reader then refuses the workbook as changed while read.
#include <QFile>
#include <QString>

namespace tabulon::cfb {

class MappedFile {
public:
    // Maps the whole file; data() is null when it cannot be mapped (not a
    // regular file, empty, or the system refuses), and the caller reads it
    // another way.
    explicit MappedFile(const QString& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const uchar* data() const { return data_; }
    qint64 size() const { return size_; }
    // True once a page of the file was found gone while being read.
    bool changed() const;

private:
    QFile file_;
    uchar* data_ = nullptr;
    qint64 size_ = 0;
    int slot_ = -1;  // the guard's record of this mapping
};

}  // namespace tabulon::cfb
