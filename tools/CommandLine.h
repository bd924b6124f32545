#pragma once
// Argument parsing shared by the exchange commands: options "--name VALUE", "--name=VALUE" and
// flags "--name", anywhere among the operands; "--" ends the options.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

struct ParsedArguments {
    std::vector<std::string> operands;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    bool help = false;
    std::string error;  // set on bad usage
};

// argv[0] is the command name. `valued` and `flags` list the accepted option names (with "--").
ParsedArguments ParseCommandLine(int argc, char** argv, const std::set<std::string_view>& valued,
                                 const std::set<std::string_view>& flags);
