#pragma once
// The option parser every txrtool command uses, so that they all read their arguments alike:
// options "--name VALUE" or "--name=VALUE" (and short ones "-o VALUE") anywhere among the
// operands, "--" ends the options, "-h"/"--help" prints the command's help. Bad usage is reported
// the same way everywhere ("txrtool COMMAND: message", then the help, on standard error) with its
// own exit status, and so are errors while running ("txrtool COMMAND: message").
//
// A command declares what it accepts, calls Parse(), then does its work:
//
//   CommandLine cli("stats", kStatsHelp);
//   bool json = false;
//   std::vector<std::string> files;
//   cli.Flag("--json", json);
//   cli.Operands(files, {"TXR file"}, 1);
//   if (const auto exit = cli.Parse(argc, argv)) return *exit;
//   ...
//   if (!s) return cli.Fail(s.message());
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/ExitStatus.h"

namespace CLI {
class App;
}

class CommandLine {
public:
    // `command` is the command's name as typed after txrtool; `help` the text "--help" prints.
    CommandLine(std::string command, std::string help);
    ~CommandLine();
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    // An option with a value, given at most once in effect (the last one given counts). `names`
    // is a comma-separated list ("-o,--output"); `valueName` names the value in messages
    // ("OUT.txr"). A required option that is not given is bad usage: "missing --to OUT.txr".
    void Option(const std::string& names, const std::string& valueName, std::optional<std::string>& into,
                bool required = false);
    // An option that may be given several times; every value is kept, in order.
    void Repeated(const std::string& names, const std::string& valueName, std::vector<std::string>& into);
    // An option without a value.
    void Flag(const std::string& names, bool& into);
    // The operands: `required.size()` of them at least, `optional` more at most. A missing one is
    // reported by its entry in `required` ("missing TXR file"), an extra one as "too many files".
    void Operands(std::vector<std::string>& into, std::vector<std::string> required, size_t optional);

    // Parses argv (argv[0] being the command's name). Returns nothing when the command should go
    // on; otherwise the help or the usage error has been printed and the result is the exit
    // status (kExitDone after --help, kExitUsage after bad usage).
    std::optional<int> Parse(int argc, char** argv);

    // Bad usage found after parsing (an unknown check name, say): reported as Parse reports it.
    int Usage(const std::string& message) const;
    // An error while running: "txrtool COMMAND: message" on standard error; returns kExitFailed.
    int Fail(const std::string& message) const;
    // A notice that is not an error ("txrtool COMMAND: message" on standard error).
    void Say(const std::string& message) const;

    const std::string& Command() const { return m_command; }

private:
    struct Required {
        std::string name, valueName;
        const std::optional<std::string>* value;
    };

    std::string m_command, m_help;
    std::unique_ptr<CLI::App> m_app;
    std::vector<Required> m_required;
    std::vector<std::string>* m_operands = nullptr;
    std::vector<std::string> m_operandNames;
    size_t m_optionalOperands = 0;
};
