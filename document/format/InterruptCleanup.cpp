#include "document/format/InterruptCleanup.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM};
constexpr int kSlots = 32;

enum SlotState : int { kFree, kFilling, kLive };

struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};

static_assert(std::atomic<int>::is_always_lock_free, "the handler reads the slots without locks");

Slot g_slots[kSlots];
std::atomic<int> g_holds{0};
std::atomic<int> g_pending{0};
struct sigaction g_previous[2];  // by IndexOf
std::mutex g_installing;

int IndexOf(int sig) {
    return sig == SIGINT ? 0 : 1;
}

// Removes the registered files and lets the signal do what it did before the handler came.
// Async-signal-safe: unlink, sigaction and raise only.
void CleanUpAndRaise(int sig) {
    for (Slot& s : g_slots)
        if (s.state.load() == kLive) ::unlink(s.path);
    ::sigaction(sig, &g_previous[IndexOf(sig)], nullptr);
    // Blocked while a handler runs: delivered as soon as it returns.
    ::raise(sig);
}

extern "C" void OnInterrupt(int sig) {
    const int savedErrno = errno;
    if (g_holds.load() > 0)
        g_pending.store(sig);
    else
        CleanUpAndRaise(sig);
    errno = savedErrno;
}

void Install() {
    std::lock_guard lock(g_installing);
    for (const int sig : kSignals) {
        struct sigaction current {};
        if (::sigaction(sig, nullptr, &current) != 0) continue;
        const bool siginfo = (current.sa_flags & SA_SIGINFO) != 0;
        if (!siginfo && (current.sa_handler == OnInterrupt || current.sa_handler == SIG_IGN)) continue;
        struct sigaction mine {};
        mine.sa_handler = OnInterrupt;
        sigemptyset(&mine.sa_mask);
        for (const int other : kSignals) sigaddset(&mine.sa_mask, other);
        mine.sa_flags = SA_RESTART;
        ::sigaction(sig, &mine, &g_previous[IndexOf(sig)]);
    }
}

}  // namespace

int InterruptCleanup::Add(const char* path) {
    if (std::strlen(path) >= PATH_MAX) return -1;
    Install();
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (!g_slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
        std::strcpy(g_slots[i].path, path);
        g_slots[i].state.store(kLive);
        return i;
    }
    return -1;
}

void InterruptCleanup::Remove(int slot) {
    if (slot >= 0 && slot < kSlots) g_slots[slot].state.store(kFree);
}

InterruptCleanup::Hold::Hold() {
    g_holds.fetch_add(1);
}

InterruptCleanup::Hold::~Hold() {
    if (g_holds.fetch_sub(1) != 1) return;
    if (const int sig = g_pending.exchange(0); sig != 0) CleanUpAndRaise(sig);
}
