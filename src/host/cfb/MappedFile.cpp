#include "host/cfb/MappedFile.h"

#include <atomic>
#include <cstdint>
#include <mutex>

#if defined(__unix__)
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>
#define TABULON_BUS_GUARD 1
#endif

namespace tabulon::cfb {

namespace {

// The mappings alive now. The signal handler reads them without locks, so
// each is a pair of atomics; a free slot has begin 0.
struct Slot {
    std::atomic<uintptr_t> begin{0};
    std::atomic<uintptr_t> end{0};
    std::atomic<bool> hit{false};
};
constexpr int kSlots = 16;
Slot mappings[kSlots];
std::mutex mappingsMutex;  // taking and giving back mappings; never in the handler

#if TABULON_BUS_GUARD
struct sigaction previousBus;
uintptr_t pageSize = 4096;

// A read of a page the file no longer has. When the page is one of our
// mappings, an empty page takes its place and the read is done again;
// otherwise the fault is not ours and goes where it went before.
void onBus(int, siginfo_t* info, void*) {
    const uintptr_t at = reinterpret_cast<uintptr_t>(info->si_addr);
    for (Slot& s : mappings) {
        const uintptr_t b = s.begin.load(), e = s.end.load();
        if (b == 0 || at < b || at >= e) continue;
        void* page = reinterpret_cast<void*>(at & ~(pageSize - 1));
        if (mmap(page, pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            s.hit.store(true);
            return;
        }
    }
    sigaction(SIGBUS, &previousBus, nullptr);  // the retried read then ends as it would have
}

void installGuard() {
    static std::once_flag once;
    std::call_once(once, [] {
        pageSize = uintptr_t(sysconf(_SC_PAGESIZE));
        struct sigaction sa {};
        sa.sa_sigaction = onBus;
        sa.sa_flags = SA_SIGINFO;
        sigemptyset(&sa.sa_mask);
        sigaction(SIGBUS, &sa, &previousBus);
    });
}
#endif

}  // namespace

MappedFile::MappedFile(const QString& path) : file_(path) {
#if TABULON_BUS_GUARD
    if (!file_.open(QIODevice::ReadOnly) || file_.isSequential() || file_.size() <= 0) return;
    {
        std::lock_guard<std::mutex> lock(mappingsMutex);
        for (int i = 0; i < kSlots; ++i)
            if (mappings[i].begin.load() == 0 && mappings[i].end.load() == 0) {
                slot_ = i;
                mappings[i].end.store(1);  // taken, not yet mapped
                break;
            }
    }
    if (slot_ < 0) return;  // too many at once: read the other way
    installGuard();
    size_ = file_.size();
    data_ = file_.map(0, size_);
    if (!data_) {
        size_ = 0;
        mappings[slot_].end.store(0);
        slot_ = -1;
        return;
    }
    Slot& s = mappings[slot_];
    s.hit.store(false);
    s.end.store(reinterpret_cast<uintptr_t>(data_) + uintptr_t(size_));
    s.begin.store(reinterpret_cast<uintptr_t>(data_));
#else
    (void)path;
#endif
}

MappedFile::~MappedFile() {
    if (slot_ >= 0) {
        std::lock_guard<std::mutex> lock(mappingsMutex);
        mappings[slot_].begin.store(0);
        mappings[slot_].end.store(0);
    }
    if (data_) file_.unmap(data_);
}

bool MappedFile::changed() const { return slot_ >= 0 && mappings[slot_].hit.load(); }

}  // namespace tabulon::cfb
