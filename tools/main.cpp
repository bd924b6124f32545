// txrtool's entry point. The commands are a library of their own (Commands.h), which the tests
// run in-process.
#include "tools/Commands.h"

int main(int argc, char** argv) {
    return RunTxrtool(argc, argv);
}
