#include "tools/CommandLine.h"

ParsedArguments ParseCommandLine(int argc, char** argv, const std::set<std::string_view>& valued,
                                 const std::set<std::string_view>& flags) {
    ParsedArguments p;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg.substr(0, 2) != "--") {
            p.operands.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help") {
            p.help = true;
            continue;
        }
        const size_t eq = arg.find('=');
        const std::string_view name = arg.substr(0, eq);
        if (flags.count(name) && eq == std::string_view::npos) {
            p.flags.emplace(name);
            continue;
        }
        if (!valued.count(name)) {
            p.error = "unknown option '" + std::string(arg) + "'";
            return p;
        }
        if (eq != std::string_view::npos) {
            p.values[std::string(name)] = std::string(arg.substr(eq + 1));
        } else if (i + 1 < argc) {
            p.values[std::string(name)] = argv[++i];
        } else {
            p.error = "option '" + std::string(name) + "' needs a value";
            return p;
        }
    }
    return p;
}
