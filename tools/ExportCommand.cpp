// txrtool export: a document as XLIFF, PO or CSV for translators.
#include <cstdio>
#include <filesystem>
#include <string>

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
    "may not be TXR or TXL (under any name), a folder or a special file.\n";

int Usage(const std::string& message) {
    std::fprintf(stderr, "txrtool export: %s\n%s", message.c_str(), kExportHelp);
    return 1;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "txrtool export: %s\n", message.c_str());
    return 2;
}

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
    const ParsedArguments args =
        ParseCommandLine(argc, argv, {"--format", "--to", "--source-lang", "--target-lang"}, {"--bom"});
    if (!args.error.empty()) return Usage(args.error);
    if (args.help) {
        std::fputs(kExportHelp, stdout);
        return 0;
    }
    if (args.operands.empty()) return Usage("missing TXR file");
    if (args.operands.size() > 2) return Usage("too many files: '" + args.operands[2] + "'");
    const auto to = args.values.find("--to");
    if (to == args.values.end()) return Usage("missing --to OUT");
    std::optional<ExchangeFormat> format;
    if (const auto f = args.values.find("--format"); f != args.values.end()) {
        format = FormatFromName(f->second);
        if (!format) return Usage("unknown format '" + f->second + "' (xliff, po, csv)");
    } else {
        format = FormatFromPath(to->second);
        if (!format) return Usage("cannot tell the format from '" + to->second + "': give --format");
    }
    const std::string txr = args.operands[0];
    const std::string txl = args.operands.size() > 1 ? args.operands[1] : std::string();

    ExportOptions options;
    options.originalName = BaseName(txr);
    if (const auto l = args.values.find("--source-lang"); l != args.values.end())
        options.sourceLanguage = l->second;
    const auto target = args.values.find("--target-lang");
    options.targetLanguage = target != args.values.end() ? target->second
                             : txl.empty()               ? "und"
                                                         : TargetLanguageOf(txl);
    options.byteOrderMark = args.flags.count("--bom") > 0;

    const std::string inputs[] = {txr, txl};
    if (Status s = ReplacementFile::CheckTarget(to->second, inputs); !s) return Fail(s.message());
    TranslationTable table;
    if (Status s = table.Load(txr, txl); !s) return Fail(s.message());
    size_t leftOut = 0;
    if (Status s = ExportTranslationsToFile(table, *format, options, to->second, &leftOut); !s)
        return Fail(s.message());
    if (leftOut)
        std::fprintf(stderr,
                     "txrtool export: %zu entries with an empty original text are not in the PO file (an "
                     "empty msgid is reserved for the header).\n",
                     leftOut);
    return 0;
}
