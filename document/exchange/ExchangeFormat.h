#pragma once
// The file formats translations travel in (XLIFF 1.2, PO, CSV), and what an export needs to
// know besides the document.
#include <optional>
#include <string>
#include <string_view>

enum class ExchangeFormat { Xliff, Po, Csv };

// "xliff", "po", "csv" (also "xlf").
std::optional<ExchangeFormat> FormatFromName(std::string_view name);
// From the extension: .xlf/.xliff, .po, .csv (any letter case).
std::optional<ExchangeFormat> FormatFromPath(std::string_view path);

struct ExportOptions {
    std::string originalName;  // the .txr's file name, for XLIFF's `original`
    std::string sourceLanguage = "en";
    std::string targetLanguage;  // empty: LanguageOfFileName of the .txl, or "und"
    bool byteOrderMark = false;  // CSV only
};

// The language a localized file's name announces: the whole name without its extension when it
// is a language tag ("de.txl", "fra.txl", "pt_BR.txl" gives "pt-BR"), else its last part after a
// '.', '_' or '-' when that is a two-letter code, with a region or script part before it when
// there is one ("app.fr.txl", "app_pt_BR.txl"); "und" otherwise.
std::string LanguageOfFileName(std::string_view path);
