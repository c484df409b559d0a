#pragma once
// What a run leaves behind when it is ended by a signal (Ctrl+C, `kill`, the
// terminal closing): paths registered here are removed by the signal handler
// before the process ends with that signal, as it would have without the
// handler. A folder goes with everything in it (three levels deep). A run
// killed with SIGKILL leaves its paths; the next run removes them as stale.
//
// The handler is installed with the first registration, for SIGINT, SIGTERM,
// SIGHUP and SIGQUIT, except a signal the process was told to ignore.
#include <QString>

namespace tabulon::cleanup {

// Registers a file or folder; returns its slot, or -1 when all slots are
// taken (the path is then only removed by the run itself).
int registerPath(const QString& absolutePath);
// The run removed the path itself, or keeps it.
void unregisterPath(int slot);

// Keeps a path registered for the life of the object.
class Registration {
public:
    explicit Registration(const QString& absolutePath) : slot_(registerPath(absolutePath)) {}
    ~Registration() { unregisterPath(slot_); }
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;

private:
    int slot_;
};

}  // namespace tabulon::cleanup
