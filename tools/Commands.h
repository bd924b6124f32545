#pragma once
// txrtool's commands that live in files of their own; argv[0] is the command's name. Each returns
// the exit status.
int RunCheckCommand(int argc, char** argv);
int RunStatsCommand(int argc, char** argv);
