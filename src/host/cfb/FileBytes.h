#pragma once
// A whole file read into memory. The workbook is read from a copy rather than
// from a mapping of the file, so another program that shortens the file
// meanwhile cannot take pages away from under the reader (which would end
// the process with SIGBUS), and no process-wide signal handler is needed.
//
// The copy goes into memory taken from the system in large pages where it
// offers them, so reading the file costs about what mapping it did.
#include <QString>
#include <cstddef>

namespace tabulon::cfb {

class FileBytes {
public:
    // Throws tabulon::Error 53 when the file cannot be opened or read.
    explicit FileBytes(const QString& path);
    ~FileBytes();
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    const unsigned char* data() const { return data_; }
    // The bytes read: fewer than the file's size when it was shortened while
    // being read, never more.
    size_t size() const { return size_; }

private:
    unsigned char* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

}  // namespace tabulon::cfb
