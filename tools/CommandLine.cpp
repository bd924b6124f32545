#include "tools/CommandLine.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <string_view>
#include <utility>

CommandLine::CommandLine(std::string command, std::string help)
    : m_command(std::move(command)), m_help(std::move(help)), m_app(std::make_unique<CLI::App>()) {
    m_app->name("txrtool " + m_command);
    // An unknown option is collected rather than thrown, so that it is reported in our words.
    m_app->allow_extras();
    m_app->set_help_flag("-h,--help");
}

CommandLine::~CommandLine() = default;

void CommandLine::Option(const std::string& names, const std::string& valueName,
                         std::optional<std::string>& into, bool required) {
    m_app->add_option_function<std::string>(names, [&into](const std::string& value) { into = value; })
        ->type_name(valueName)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    if (required) {
        const std::string name = names.substr(names.rfind(',') + 1);
        m_required.push_back({name, valueName, &into});
    }
}

void CommandLine::Repeated(const std::string& names, const std::string& valueName,
                           std::vector<std::string>& into) {
    // One value per occurrence: "--ignore a b" leaves b an operand.
    m_app->add_option(names, into)
        ->type_name(valueName)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

void CommandLine::Flag(const std::string& names, bool& into) {
    m_app->add_flag(names, into);
}

void CommandLine::Operands(std::vector<std::string>& into, std::vector<std::string> required,
                           size_t optional) {
    m_operands = &into;
    m_operandNames = std::move(required);
    m_optionalOperands = optional;
    m_app->add_option("operands", into);
}

std::optional<int> CommandLine::Parse(int argc, char** argv) {
    try {
        m_app->parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::fputs(m_help.c_str(), stdout);
        return kExitDone;
    } catch (const CLI::ArgumentMismatch& e) {
        // "NAME: 1 required TEXT missing": an option given last without its value. Name it as it
        // was typed ("-o" rather than "--output").
        const std::string what = e.what();
        const std::string name = what.substr(0, what.find(':'));
        const CLI::Option* option = m_app->get_option_no_throw(name);
        if (!option || what.find("missing") == std::string::npos) return Usage(what);
        std::string typed = name;
        for (int i = argc - 1; i > 0; --i) {
            if (option->check_name(argv[i])) {
                typed = argv[i];
                break;
            }
        }
        return Usage("option '" + typed + "' needs a value");
    } catch (const CLI::ParseError& e) {
        return Usage(e.what());
    }
    for (const std::string& extra : m_app->remaining()) {
        if (extra != "--") return Usage("unknown option '" + extra + "'");
    }
    if (m_operands) {
        if (m_operands->size() < m_operandNames.size())
            return Usage("missing " + m_operandNames[m_operands->size()]);
        const size_t most = m_operandNames.size() + m_optionalOperands;
        if (m_operands->size() > most) return Usage("too many files: '" + (*m_operands)[most] + "'");
    }
    for (const Required& r : m_required) {
        if (!r.value->has_value()) return Usage("missing " + r.name + " " + r.valueName);
    }
    return std::nullopt;
}

int CommandLine::Usage(const std::string& message) const {
    std::fprintf(stderr, "txrtool %s: %s\n%s", m_command.c_str(), message.c_str(), m_help.c_str());
    return kExitUsage;
}

int CommandLine::Fail(const std::string& message) const {
    Say(message);
    return kExitFailed;
}

void CommandLine::Say(const std::string& message) const {
    std::fprintf(stderr, "txrtool %s: %s\n", m_command.c_str(), message.c_str());
}
