#pragma once
// The txrtool commands that live in files of their own. Each takes the arguments after
// "txrtool" (argv[0] is the command name) and returns the exit status: 0 done, 1 bad usage,
// 2 a file could not be read or written.

int RunExportCommand(int argc, char** argv);
int RunImportCommand(int argc, char** argv);
