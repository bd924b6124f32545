#pragma once
// Temporary files that must not outlive an interrupted write. When SIGINT or SIGTERM stops the
// process while a save, export, import or merge is writing, the handler removes every temporary
// file registered here (with unlink, which is safe in a signal handler, and nothing else), puts
// back the signal's previous disposition and raises the signal again: the process then ends as it
// would have (or the handler that was there before runs), and the old output stays as it was.
//
// Contract: Add registers a path and returns its slot (-1 when all slots are taken: that file is
// then not removed on a signal); Remove gives the slot back. The handler is installed by the
// first Add for each signal that is not ignored, and again after it has run. While a Hold exists,
// the two signals are held back and acted on when the last Hold ends, so that files being put in
// place go in all together.
class InterruptCleanup {
public:
    static int Add(const char* path);
    static void Remove(int slot);

    class Hold {
    public:
        Hold();
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
    };
};
