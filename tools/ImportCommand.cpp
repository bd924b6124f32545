// txrtool import: translations from an XLIFF, PO or CSV file into the document's .txl.
#include <sys/stat.h>

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
    "OUT.txl may be TXL (it is then updated), but not IN or TXR under any name. Without TXL an\n"
    "existing OUT.txl is read as TXL: its translations are kept.\n"
    "Exit status: 0 done, 2 a file could not be read or written (or IN is malformed), 64 bad usage.\n";

}  // namespace

int RunImportCommand(int argc, char** argv) {
    CommandLine cli("import", kImportHelp);
    std::optional<std::string> formatName, to;
    bool includeFuzzy = false;
    std::vector<std::string> files;
    cli.Option("--format", "FORMAT", formatName);
    cli.Option("--to-txl", "OUT.txl", to, true);
    cli.Flag("--include-fuzzy", includeFuzzy);
    cli.Operands(files, {"IN file", "TXR file"}, 1);
    if (const auto exit = cli.Parse(argc, argv)) return *exit;
    const std::string& in = files[0];
    std::optional<ExchangeFormat> format;
    if (formatName) {
        format = FormatFromName(*formatName);
        if (!format) return cli.Usage("unknown format '" + *formatName + "' (xliff, po, csv)");
    } else {
        format = FormatFromPath(in);
        if (!format) return cli.Usage("cannot tell the format from '" + in + "': give --format");
    }
    if (*to == files[1]) return cli.Usage("OUT.txl cannot be the TXR file");
    TranslationTable table;
    std::string txl = files.size() > 2 ? files[2] : std::string();
    // The .txl is what an import updates; IN and the .txr are only read.
    const std::string readOnly[] = {in, files[1]};
    if (Status s = ReplacementFile::CheckTarget(*to, readOnly); !s) return cli.Fail(s.message());
    // Without TXL an existing OUT.txl holds the translations so far: reading the document without
    // them would write every other entry's original over its translation.
    if (struct stat out = {}; txl.empty() && ::stat(to->c_str(), &out) == 0) {
        txl = *to;
        cli.Say("no TXL given: the translations so far are read from \"" + txl + "\".");
    }
    if (Status s = table.Load(files[1], txl); !s) return cli.Fail(s.message());
    std::vector<IncomingUnit> units;
    if (Status s = ReadTranslations(in, *format, units); !s) return cli.Fail(s.message());
    ImportOptions options;
    options.includeFuzzy = includeFuzzy;
    ImportResult result;
    if (Status s = ComputeImport(table, units, options, result); !s) return cli.Fail(s.message());
    if (Status s = WriteImportedTranslations(table, result, *to); !s) return cli.Fail(s.message());
    std::fprintf(stderr, "txrtool import: %s", result.summary.Text().c_str());
    return kExitDone;
}
