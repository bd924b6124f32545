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
    std::string targetLanguage = "und";  // callers give LanguageCode::OfFileName of the .txl
    bool byteOrderMark = false;          // CSV only
};
