#pragma once
// The whole command line, argv[0] being the program: what txrtool's main runs, and what tests
// run in-process.
int RunTxrtool(int argc, char** argv);

// The txrtool commands that live in files of their own. Each takes the arguments from the
// command name on (argv[0] is the command name) and returns the process exit status.

int RunDiffCommand(int argc, char** argv);
int RunMergeCommand(int argc, char** argv);
int RunCheckCommand(int argc, char** argv);
int RunStatsCommand(int argc, char** argv);
int RunExportCommand(int argc, char** argv);
int RunImportCommand(int argc, char** argv);
