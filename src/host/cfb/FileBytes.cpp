#include "host/cfb/FileBytes.h"

#include "common/Error.h"
#include "host/ReadFailure.h"

#include <QFile>
#include <cerrno>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

namespace tabulon::cfb {

namespace {
[[noreturn]] void cannotOpen(const QString& path) {
    host::raiseReadFailure(host::ReadFailure::FileMissing, path, QStringLiteral("cannot open the file"));
}
}  // namespace

FileBytes::FileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential()) cannotOpen(path);
    const qint64 claimed = file.size();
    if (claimed <= 0) return;
    capacity_ = size_t(claimed);
    void* pages = mmap(nullptr, capacity_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) {
        capacity_ = 0;
        throw std::bad_alloc();
    }
    data_ = static_cast<unsigned char*>(pages);
    // Large pages where the system offers them: a 25 MB workbook is then
    // copied in about the time mapping it took; with small pages the faults
    // cost several times as much. Without them the copy only takes longer.
    madvise(pages, capacity_, MADV_HUGEPAGE);
    const int fd = file.handle();
    while (size_ < capacity_) {
        const ssize_t got = ::read(fd, data_ + size_, capacity_ - size_);
        if (got > 0) {
            size_ += size_t(got);
        } else if (got == 0) {
            break;  // shortened since its size was taken
        } else if (errno != EINTR) {
            cannotOpen(path);
        }
    }
}

FileBytes::~FileBytes() {
    if (data_) munmap(data_, capacity_);
}

}  // namespace tabulon::cfb
