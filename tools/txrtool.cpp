// txrtool: reads text resource files as the editor does and prints them as JSON, or writes
// them again.
//
//   txrtool dump   [--mode MODE] TXR [TXL]
//   txrtool resave [--mode MODE] TXR [TXL] --to OUT.txr [--to-txl OUT.txl]
//
// The other commands live in files of their own (Commands.h).
//
// Exit status: 0 done, 1 bad usage, 2 a file could not be read or written.
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
#include "tools/Commands.h"
#include "tools/Json.h"

namespace {

constexpr const char* kToolHelp =
    "Usage: txrtool COMMAND [OPTIONS] ...\n"
    "Reads text resource files (.txr and its localized companion .txl) as the editor does.\n"
    "\n"
    "Commands:\n"
    "  dump     print a document as JSON\n"
    "  resave   read a document and write it again\n"
    "  diff     print a document as one line an entry (git textconv)\n"
    "  merge    three-way merge of a .txr or .txl (git merge driver)\n"
    "  check    check the entries (placeholders, accelerators, Global IDs, ...); list the problems\n"
    "  stats    count entries, translated, missing, same as original and problems, in all and per group\n"
    "  export   write a document as XLIFF, PO or CSV for translators\n"
    "  import   bring translations from XLIFF, PO or CSV into the localized file\n"
    "\n"
    "Run 'txrtool COMMAND --help' for the options of a command.\n"
    "Exit status: 0 done, 1 bad usage (or, for merge, conflicts; for check, problems), 2 a file could\n"
    "not be read or written.\n";

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

struct Options {
    std::string command;
    ReadMode mode = ModeOpen;
    std::vector<std::string> files;
    std::optional<std::string> to;
    std::optional<std::string> toTxl;
    bool help = false;
};

struct UsageError {
    std::string message;
};

std::optional<ReadMode> ParseMode(std::string_view name) {
    if (name == "original") return ModeShowOriginal;
    if (name == "localized") return ModeShowLocalized;
    if (name == "both") return ModeShowBoth;
    if (name == "open") return ModeOpen;
    if (name == "paired") return ModeOpenPaired;
    return std::nullopt;
}

// Parses the arguments after the command; options may come before or after the file names,
// as "--opt VALUE" or "--opt=VALUE"; "--" ends the options.
std::optional<UsageError> ParseArguments(int argc, char** argv, Options& o) {
    bool optionsEnded = false;
    for (int i = 2; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg.substr(0, 2) != "--") {
            o.files.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help") {
            o.help = true;
            continue;
        }
        std::string_view name = arg;
        std::optional<std::string> value;
        if (const size_t eq = arg.find('='); eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = std::string(arg.substr(eq + 1));
        }
        const bool known =
            name == "--mode" || (o.command == "resave" && (name == "--to" || name == "--to-txl"));
        if (!known) return UsageError{"unknown option '" + std::string(arg) + "'"};
        if (!value) {
            if (i + 1 >= argc) return UsageError{"option '" + std::string(name) + "' needs a value"};
            value = argv[++i];
        }
        if (name == "--mode") {
            const auto mode = ParseMode(*value);
            if (!mode)
                return UsageError{"unknown mode '" + *value + "' (original, localized, both, open, paired)"};
            o.mode = *mode;
        } else if (name == "--to") {
            o.to = *value;
        } else {
            o.toTxl = *value;
        }
    }
    if (o.help) return std::nullopt;
    if (o.files.empty()) return UsageError{"missing TXR file"};
    if (o.files.size() > 2) return UsageError{"too many files: '" + o.files[2] + "'"};
    if (o.command == "resave" && !o.to) return UsageError{"missing --to OUT.txr"};
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

int Fail(const std::string& message) {
    std::fprintf(stderr, "txrtool: %s\n", message.c_str());
    return 2;
}

int Usage(const std::string& message, const char* help) {
    std::fprintf(stderr, "txrtool: %s\n%s", message.c_str(), help);
    return 1;
}

int Run(int argc, char** argv) {
    if (argc < 2) return Usage("missing command", kToolHelp);
    const std::string_view command = argv[1];
    if (command == "check") return RunCheckCommand(argc - 1, argv + 1);
    if (command == "stats") return RunStatsCommand(argc - 1, argv + 1);
    Options o;
    o.command = argv[1];
    if (o.command == "--help" || o.command == "-h" || o.command == "help") {
        std::fputs(kToolHelp, stdout);
        return 0;
    }
    if (o.command == "diff") return RunDiffCommand(argc - 1, argv + 1);
    if (o.command == "merge") return RunMergeCommand(argc - 1, argv + 1);
    if (o.command == "export") return RunExportCommand(argc - 1, argv + 1);
    if (o.command == "import") return RunImportCommand(argc - 1, argv + 1);
    if (o.command != "dump" && o.command != "resave")
        return Usage("unknown command '" + o.command + "'", kToolHelp);
    const std::string help = std::string(o.command == "dump" ? kDumpHelp : kResaveHelp) + kModeHelp;
    if (auto error = ParseArguments(argc, argv, o)) return Usage(error->message, help.c_str());
    if (o.help) {
        std::fputs(help.c_str(), stdout);
        return 0;
    }

    if (o.command == "resave") {
        for (const std::optional<std::string>& target : {o.to, o.toTxl})
            if (target)
                if (Status s = ReplacementFile::CheckTarget(*target, o.files); !s) return Fail(s.message());
    }
    Document doc;
    const std::string txl = o.files.size() > 1 ? o.files[1] : std::string();
    if (Status s = doc.Read(o.files[0], txl, o.mode); !s) return Fail(s.message());
    const ResourceTable& store = doc.Rows();

    if (o.command == "dump") {
        if (!DumpJson(store)) return Fail(std::string("cannot write the output: ") + std::strerror(errno));
        return 0;
    }
    const bool localized = o.toTxl.has_value();
    if (Status s = WriteTextResource(store, *o.to, localized ? *o.toTxl : std::string(), localized); !s)
        return Fail(s.message());
    return 0;
}

}  // namespace

int RunTxrtool(int argc, char** argv) {
    // The reader and writer report running out of memory themselves; this catches it anywhere else.
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        return Fail("not enough memory.");
    }
}
