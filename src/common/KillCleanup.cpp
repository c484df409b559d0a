#include "common/KillCleanup.h"

#include <QFile>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/syscall.h>
#include <unistd.h>

namespace tabulon::cleanup {

namespace {

// Slots the handler reads without locks: a slot is armed only after its path
// is complete.
enum SlotState : int { Free, Writing, Armed };
struct Slot {
    std::atomic<int> state{Free};
    char path[4096];
};
constexpr int kSlots = 16;
Slot armedPaths[kSlots];

const int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// The kernel's directory entry, read with getdents64 (no allocation, safe in
// a signal handler, unlike readdir).
struct Entry64 {
    std::uint64_t ino;
    std::int64_t off;
    unsigned short reclen;
    unsigned char type;
    char name[1];
};

bool isDotName(const char* n) { return n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)); }

// Only system calls: this runs inside the signal handler.
void removeTree(int parent, const char* name, int depth) {
    if (::unlinkat(parent, name, 0) == 0 || (errno != EISDIR && errno != EPERM) || depth == 0)
        return;
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    alignas(8) char buffer[4096];
    long n;
    while ((n = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer)) > 0) {
        for (long at = 0; at < n;) {
            const auto* entry = reinterpret_cast<const Entry64*>(buffer + at);
            at += entry->reclen;
            if (!isDotName(entry->name))
                removeTree(fd, entry->name, depth - 1);
        }
    }
    ::close(fd);
    ::unlinkat(parent, name, AT_REMOVEDIR);
}

void onSignal(int signal) {
    for (Slot& slot : armedPaths) {
        if (slot.state.load() == Armed)
            removeTree(AT_FDCWD, slot.path, 3);
    }
    // The handler was reset on entry: the signal ends the process as usual.
    ::raise(signal);
}

void installHandler() {
    for (const int signal : kSignals) {
        struct sigaction previous {};
        ::sigaction(signal, nullptr, &previous);
        if (previous.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = onSignal;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

}  // namespace

int registerPath(const QString& absolutePath) {
    static std::once_flag installed;
    std::call_once(installed, installHandler);
    const QByteArray bytes = QFile::encodeName(absolutePath);
    if (bytes.isEmpty() || bytes.size() >= int(sizeof(Slot::path)))
        return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = Free;
        if (!armedPaths[i].state.compare_exchange_strong(expected, Writing))
            continue;
        std::memcpy(armedPaths[i].path, bytes.constData(), size_t(bytes.size()) + 1);
        armedPaths[i].state.store(Armed);
        return i;
    }
    return -1;
}

void unregisterPath(int slot) {
    if (slot >= 0 && slot < kSlots)
        armedPaths[slot].state.store(Free);
}

}  // namespace tabulon::cleanup
