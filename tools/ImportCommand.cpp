// txrtool import: translations from an XLIFF, PO or CSV file into the document's .txl.
#include <cstdio>
#include <string>

#include "document/exchange/ExchangeFormat.h"
#include "document/exchange/TranslationImport.h"
#include "document/exchange/TranslationTable.h"
#include "document/format/ReplacementFile.h"
#include "tools/CommandLine.h"
#include "tools/Commands.h"

namespace {

constexpr const char* kImportHelp =
    "Usage: txrtool import [--format xliff|po|csv] IN TXR [TXL] --to-txl OUT.txl [--include-fuzzy]\n"
    "Reads the document as export does and sets the translation of each entry that IN (XLIFF 1.1\n"
    "or 1.2, PO or CSV; the format from --format or IN's extension) gives a non-empty translation\n"
    "for, matched by Global ID, then writes the localized file OUT.txl (TXR is never changed).\n"
    "Units whose Global ID is not in the document or names several entries are skipped, as are\n"
    "fuzzy units (unless --include-fuzzy) and plural ones; a changed source text is reported. A\n"
    "summary goes to standard error. Any error (malformed IN, a translation with a line break)\n"
    "writes nothing. A Latin-1 localized file that must take other characters becomes UTF-8.\n"
    "OUT.txl may be TXL (it is then updated), but not IN or TXR under any name.\n";

int Usage(const std::string& message) {
    std::fprintf(stderr, "txrtool import: %s\n%s", message.c_str(), kImportHelp);
    return 1;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "txrtool import: %s\n", message.c_str());
    return 2;
}

}  // namespace

int RunImportCommand(int argc, char** argv) {
    const ParsedArguments args = ParseCommandLine(argc, argv, {"--format", "--to-txl"}, {"--include-fuzzy"});
    if (!args.error.empty()) return Usage(args.error);
    if (args.help) {
        std::fputs(kImportHelp, stdout);
        return 0;
    }
    if (args.operands.size() < 2)
        return Usage(args.operands.empty() ? "missing IN file" : "missing TXR file");
    if (args.operands.size() > 3) return Usage("too many files: '" + args.operands[3] + "'");
    const auto to = args.values.find("--to-txl");
    if (to == args.values.end()) return Usage("missing --to-txl OUT.txl");
    const std::string& in = args.operands[0];
    std::optional<ExchangeFormat> format;
    if (const auto f = args.values.find("--format"); f != args.values.end()) {
        format = FormatFromName(f->second);
        if (!format) return Usage("unknown format '" + f->second + "' (xliff, po, csv)");
    } else {
        format = FormatFromPath(in);
        if (!format) return Usage("cannot tell the format from '" + in + "': give --format");
    }
    const std::string txl = args.operands.size() > 2 ? args.operands[2] : std::string();
    // The .txl is what an import updates; IN and the .txr are only read.
    const std::string readOnly[] = {in, args.operands[1]};
    if (Status s = ReplacementFile::CheckTarget(to->second, readOnly); !s) return Fail(s.message());

    TranslationTable table;
    if (Status s = table.Load(args.operands[1], txl); !s) return Fail(s.message());
    std::vector<IncomingUnit> units;
    if (Status s = ReadTranslations(in, *format, units); !s) return Fail(s.message());
    ImportOptions options;
    options.includeFuzzy = args.flags.count("--include-fuzzy") > 0;
    ImportResult result;
    if (Status s = ComputeImport(table, units, options, result); !s) return Fail(s.message());
    if (Status s = WriteImportedTranslations(table, result, to->second); !s) return Fail(s.message());
    std::fprintf(stderr, "txrtool import: %s", result.summary.Text().c_str());
    return 0;
}
