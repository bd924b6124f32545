#include "document/exchange/TranslationExport.h"

#include "document/exchange/CsvExchange.h"
#include "document/exchange/PoExchange.h"
#include "document/exchange/XliffExchange.h"
#include "document/format/ReplacementFile.h"

Status ExportTranslations(const TranslationTable& table, ExchangeFormat format, const ExportOptions& options,
                          ByteSink& out, size_t* leftOut) {
    size_t left = 0;
    Status s = format == ExchangeFormat::Xliff ? ExportXliff(table, options, out)
               : format == ExchangeFormat::Po  ? ExportPo(table, options, out, &left)
                                               : ExportCsv(table, options, out);
    if (leftOut) *leftOut = left;
    return s;
}

Status ExportTranslationsToFile(const TranslationTable& table, ExchangeFormat format,
                                const ExportOptions& options, const std::string& path, size_t* leftOut) {
    return ReplacementFile::WriteFile(
        path, [&](ByteSink& out) { return ExportTranslations(table, format, options, out, leftOut); });
}
