// txrtool: reads text resource files as the editor does and prints them as JSON, or writes
// them again.
//
//   txrtool dump   [--mode MODE] TXR [TXL]
//   txrtool resave [--mode MODE] TXR [TXL] --to OUT.txr [--to-txl OUT.txl]
//
// The other commands live in files of their own (Commands.h); kCommands below lists them all.
// Exit status: ExitStatus.h.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/ListBoxSafe.h"
#include "document/format/ReplacementFile.h"
#include "document/format/ResourceTable.h"
#include "document/model/Document.h"
#include "tools/CommandLine.h"
#include "tools/Commands.h"
#include "tools/Json.h"

namespace {

// Every command, in the order `txrtool --help` lists them. A new command is a function in a file
// of its own (declared in Commands.h) and a line here.
struct ToolCommand {
    const char* name;
    const char* summary;  // one line of `txrtool --help`
    int (*run)(int argc, char** argv);
};

int RunDumpCommand(int argc, char** argv);
int RunResaveCommand(int argc, char** argv);

constexpr ToolCommand kCommands[] = {
    {"dump", "print a document as JSON", RunDumpCommand},
    {"resave", "read a document and write it again", RunResaveCommand},
    {"diff", "print a document as one line an entry (git textconv)", RunDiffCommand},
    {"merge", "three-way merge of a .txr or .txl (git merge driver)", RunMergeCommand},
    {"check", "check the entries (placeholders, accelerators, Global IDs, ...); list the problems",
     RunCheckCommand},
    {"stats", "count entries, translated, missing, same as original and problems, in all and per group",
     RunStatsCommand},
    {"export", "write a document as XLIFF, PO or CSV for translators", RunExportCommand},
    {"import", "bring translations from XLIFF, PO or CSV into the localized file", RunImportCommand},
};

std::string ToolHelp() {
    std::string help =
        "Usage: txrtool COMMAND [OPTIONS] ...\n"
        "Reads text resource files (.txr and its localized companion .txl) as the editor does.\n"
        "\n"
        "Commands:\n";
    for (const ToolCommand& c : kCommands) {
        std::string name = c.name;
        name.resize(9, ' ');
        help += "  " + name + c.summary + "\n";
    }
    help +=
        "\n"
        "Run 'txrtool COMMAND --help' (or 'txrtool help COMMAND') for the options of a command.\n"
        "Exit status: 0 done, 1 problems found (check) or conflicts (merge), 2 a file could not be\n"
        "read or written, 64 bad usage (an unknown command or option, a missing operand, ...).\n";
    return help;
}

constexpr const char* kModeHelp =
    "\nModes (--mode MODE), default open:\n"
    "  original   entries of TXR\n"
    "  localized  entries of TXL, or of TXR when TXL does not exist\n"
    "  both       pairs: each TXR entry followed by its TXL entry (or by itself without TXL)\n"
    "  open       entries of TXR; TXL is not read\n"
    "  paired     as both\n"
    "Without TXL no localized file is read.\n";

constexpr const char* kDumpHelp =
    "Usage: txrtool dump [--mode MODE] TXR [TXL]\n"
    "Prints the document as one JSON object:\n"
    "  {\"lastGlobalId\": N, \"groups\": [{\"name\": \"...\", \"counter\": N}, ...],\n"
    "   \"rows\": [[\"GlobalID\", \"GroupName\", \"GroupID\", \"Text\"], ...]}\n"
    "Cell bytes are read as UTF-8; a byte that is not part of valid UTF-8 stands for the code\n"
    "point of its value (U+0080 to U+00FF).\n";

constexpr const char* kResaveHelp =
    "Usage: txrtool resave [--mode MODE] TXR [TXL] --to OUT.txr [--to-txl OUT.txl]\n"
    "Reads the document as dump does and writes it to OUT.txr. With --to-txl the table is\n"
    "written as a localized pair: even rows to OUT.txr, odd rows to OUT.txl. Existing output\n"
    "files are replaced only when everything was written; neither may be TXR or TXL (under any\n"
    "name), a folder or a special file.\n";

constexpr const char* kReadExitHelp =
    "Exit status: 0 done, 2 a file could not be read or written, 64 bad usage.\n";

std::optional<ReadMode> ParseMode(std::string_view name) {
    if (name == "original") return ModeShowOriginal;
    if (name == "localized") return ModeShowLocalized;
    if (name == "both") return ModeShowBoth;
    if (name == "open") return ModeOpen;
    if (name == "paired") return ModeOpenPaired;
    return std::nullopt;
}

bool WriteStdout(const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

// Prints the document as JSON a piece at a time: a large document's JSON need not fit in memory
// beside it.
bool DumpJson(const ResourceTable& store) {
    constexpr size_t kPiece = size_t{1} << 20;
    std::string out = "{\"lastGlobalId\": " + std::to_string(store.GetLastGlobalId()) + ",\n \"groups\": [";
    bool first = true;
    for (const GroupNode* g = store.Groups().head(); g; g = g->next) {
        out += first ? "" : ", ";
        first = false;
        out += "{\"name\": ";
        AppendJsonString(out, g->name);
        out += ", \"counter\": " + std::to_string(g->counter) + "}";
    }
    out += "],\n \"rows\": [";
    const int rows = store.GetRowCount();
    for (int r = 0; r < rows; ++r) {
        out += r ? ",\n  [" : "\n  [";
        for (int c = 0; c < 4; ++c) {
            if (c) out += ", ";
            AppendJsonString(out, store.Cell(r, c));
        }
        out += ']';
        if (out.size() >= kPiece) {
            if (!WriteStdout(out)) return false;
            out.clear();
        }
    }
    out += rows ? "\n ]}\n" : "]}\n";
    return WriteStdout(out) && std::fflush(stdout) == 0;
}

// dump and resave: the same reading, then the JSON or the files.
int RunReadCommand(const char* command, const char* help, int argc, char** argv) {
    CommandLine cli(command, std::string(help) + kModeHelp + kReadExitHelp);
    std::optional<std::string> mode, to, toTxl;
    std::vector<std::string> files;
    cli.Option("--mode", "MODE", mode);
    const bool resave = std::string_view(command) == "resave";
    if (resave) {
        cli.Option("--to", "OUT.txr", to, true);
        cli.Option("--to-txl", "OUT.txl", toTxl);
    }
    cli.Operands(files, {"TXR file"}, 1);
    if (const auto exit = cli.Parse(argc, argv)) return *exit;
    const std::optional<ReadMode> readMode = mode ? ParseMode(*mode) : ModeOpen;
    if (!readMode) return cli.Usage("unknown mode '" + *mode + "' (original, localized, both, open, paired)");

    if (resave) {
        for (const std::optional<std::string>& target : {to, toTxl})
            if (target)
                if (Status s = ReplacementFile::CheckTarget(*target, files); !s) return cli.Fail(s.message());
    }
    Document doc;
    const std::string txl = files.size() > 1 ? files[1] : std::string();
    if (Status s = doc.Read(files[0], txl, *readMode); !s) return cli.Fail(s.message());
    const ResourceTable& store = doc.Rows();

    if (!resave) {
        if (!DumpJson(store))
            return cli.Fail(std::string("cannot write the output: ") + std::strerror(errno));
        return kExitDone;
    }
    const bool localized = toTxl.has_value();
    if (Status s = WriteTextResource(store, *to, localized ? *toTxl : std::string(), localized); !s)
        return cli.Fail(s.message());
    return kExitDone;
}

int RunDumpCommand(int argc, char** argv) {
    return RunReadCommand("dump", kDumpHelp, argc, argv);
}
int RunResaveCommand(int argc, char** argv) {
    return RunReadCommand("resave", kResaveHelp, argc, argv);
}

const ToolCommand* FindCommand(std::string_view name) {
    for (const ToolCommand& c : kCommands) {
        if (name == c.name) return &c;
    }
    return nullptr;
}

int ToolUsage(const std::string& message) {
    std::fprintf(stderr, "txrtool: %s\n%s", message.c_str(), ToolHelp().c_str());
    return kExitUsage;
}

int Run(int argc, char** argv) {
    if (argc < 2) return ToolUsage("missing command");
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        // "txrtool help COMMAND" is "txrtool COMMAND --help".
        if (argc > 2 && name == "help") {
            const ToolCommand* command = FindCommand(argv[2]);
            if (!command) return ToolUsage("unknown command '" + std::string(argv[2]) + "'");
            char helpFlag[] = "--help";
            char* helpArgs[] = {argv[2], helpFlag, nullptr};
            return command->run(2, helpArgs);
        }
        std::fputs(ToolHelp().c_str(), stdout);
        return kExitDone;
    }
    const ToolCommand* command = FindCommand(name);
    if (!command) return ToolUsage("unknown command '" + std::string(name) + "'");
    return command->run(argc - 1, argv + 1);
}

}  // namespace

int RunTxrtool(int argc, char** argv) {
    // The reader and writer report running out of memory themselves; this catches it anywhere else.
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        const std::string prefix =
            argc > 1 && FindCommand(argv[1]) ? std::string("txrtool ") + argv[1] : "txrtool";
        std::fprintf(stderr, "%s: not enough memory.\n", prefix.c_str());
        return kExitFailed;
    }
}
