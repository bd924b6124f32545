// txrtool export: a document as XLIFF, PO or CSV for translators.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "document/exchange/ExchangeFormat.h"
#include "document/exchange/TranslationExport.h"
#include "document/exchange/TranslationTable.h"
#include "document/format/LanguageCode.h"
#include "document/format/ReplacementFile.h"
#include "tools/CommandLine.h"
#include "tools/Commands.h"

namespace {

constexpr const char* kExportHelp =
    "Usage: txrtool export [--format xliff|po|csv] TXR [TXL] --to OUT [--source-lang LANG]\n"
    "                      [--target-lang LANG] [--bom]\n"
    "Writes the document, read as 'dump --mode paired' reads it, as one unit per entry for\n"
    "translators: XLIFF 1.2, PO or CSV (UTF-8), the format from --format or from OUT's extension\n"
    "(.xlf/.xliff, .po, .csv). Each unit carries the Global ID, Group Name, Group ID, the original\n"
    "and the translation (empty when not translated) and its status. The source language is 'en'\n"
    "unless given; the target language is the code TXL's name ends in (app.fr.txl, app_pt_BR.txl)\n"
    "or its folder's name (fr/app.txl), else 'und'.\n"
    "--bom starts a CSV file with a UTF-8 byte-order mark. OUT is replaced only when complete; it\n"
    "may not be TXR or TXL (under any name), a folder or a special file.\n"
    "Exit status: 0 done, 2 a file could not be read or written, 64 bad usage.\n";

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The folder counts as the window's does, also when TXL is given as a bare name.
std::string TargetLanguageOf(const std::string& txl) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(txl, error);
    return LanguageCode::OfFileName(error ? txl : absolute.string());
}

}  // namespace

int RunExportCommand(int argc, char** argv) {
    CommandLine cli("export", kExportHelp);
    std::optional<std::string> formatName, to, sourceLanguage, targetLanguage;
    bool bom = false;
    std::vector<std::string> files;
    cli.Option("--format", "FORMAT", formatName);
    cli.Option("--to", "OUT", to, true);
    cli.Option("--source-lang", "LANG", sourceLanguage);
    cli.Option("--target-lang", "LANG", targetLanguage);
    cli.Flag("--bom", bom);
    cli.Operands(files, {"TXR file"}, 1);
    if (const auto exit = cli.Parse(argc, argv)) return *exit;
    std::optional<ExchangeFormat> format;
    if (formatName) {
        format = FormatFromName(*formatName);
        if (!format) return cli.Usage("unknown format '" + *formatName + "' (xliff, po, csv)");
    } else {
        format = FormatFromPath(*to);
        if (!format) return cli.Usage("cannot tell the format from '" + *to + "': give --format");
    }
    const std::string txr = files[0];
    const std::string txl = files.size() > 1 ? files[1] : std::string();

    ExportOptions options;
    options.originalName = BaseName(txr);
    if (sourceLanguage) options.sourceLanguage = *sourceLanguage;
    options.targetLanguage = targetLanguage ? *targetLanguage : txl.empty() ? "und" : TargetLanguageOf(txl);
    options.byteOrderMark = bom;

    const std::string inputs[] = {txr, txl};
    if (Status s = ReplacementFile::CheckTarget(*to, inputs); !s) return cli.Fail(s.message());
    TranslationTable table;
    if (Status s = table.Load(txr, txl); !s) return cli.Fail(s.message());
    size_t leftOut = 0;
    if (Status s = ExportTranslationsToFile(table, *format, options, *to, &leftOut); !s)
        return cli.Fail(s.message());
    if (leftOut) cli.Say(LeftOutOfPoMessage(leftOut));
    return kExitDone;
}
