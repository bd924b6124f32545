#pragma once
// Runs a read or a save so that nothing it throws ends the editor: running out of memory, or
// meeting a row the table cannot hold, becomes a failure like any other, reported with the
// file and the reason ("Cannot read "x.txr": not enough memory.").
#include <functional>
#include <string>

#include "document/Status.h"

// `action` is the verb of the message ("read", "write"); `path` names the file.
Status GuardedIo(const std::string& action, const std::string& path, const std::function<Status()>& io);
