#pragma once
// The exit statuses of txrtool, the same for every command.

enum ExitStatus : int {
    kExitDone = 0,    // done; for check, no problems; for merge, merged cleanly
    kExitFound = 1,   // check found problems; merge found conflicts (the result is written)
    kExitFailed = 2,  // a file could not be read or written
    kExitUsage = 64,  // bad usage: an unknown command or option, a missing operand, ... (EX_USAGE)
};
