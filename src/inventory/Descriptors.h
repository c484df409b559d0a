#pragma once
// Plain file-descriptor writes, shared by the worker pipes and the memory
// file of a snapshot.
#include <QByteArray>
#include <cstddef>

namespace tabulon::inventory {

// Writes all `n` bytes, going on after interrupted and short writes; false
// on any failure (a closed pipe, a full disk, a size limit).
bool writeAll(int fd, const char* data, size_t n);
inline bool writeAll(int fd, const QByteArray& bytes) { return writeAll(fd, bytes.constData(), size_t(bytes.size())); }

}  // namespace tabulon::inventory
