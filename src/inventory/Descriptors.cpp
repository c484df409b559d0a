#include "inventory/Descriptors.h"

#include <cerrno>
#include <unistd.h>

namespace tabulon::inventory {

bool writeAll(int fd, const char* data, size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, data, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        data += w;
        n -= size_t(w);
    }
    return true;
}

}  // namespace tabulon::inventory
