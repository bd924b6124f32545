#include "document/exchange/TranslationImport.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "document/ListBoxSafe.h"
#include "document/exchange/CsvExchange.h"
#include "document/exchange/EntryKeys.h"
#include "document/exchange/PoExchange.h"
#include "document/exchange/TranslationTable.h"
#include "document/exchange/XliffExchange.h"
#include "document/format/LoadedFile.h"
#include "document/format/TextEncoding.h"
#include "document/format/TextRules.h"
#include "document/model/Document.h"

namespace {

// Through the same reader as the text resource files: a FIFO or device does not block, and a
// file changed while it is read is refused rather than imported torn.
Status ReadWholeFile(const std::string& path, std::string& out) {
    LoadedFile file;
    if (file.Load(path) != LoadedFile::Result::Ok) return Status::Error(file.error());
    out.assign(file.data(), file.size());
    return Status::Ok();
}

void AppendList(std::string& out, const char* what, const std::vector<std::string>& ids, size_t limit) {
    if (ids.empty()) return;
    out += what;
    for (size_t i = 0; i < ids.size() && i < limit; ++i) out += (i ? ", " : " ") + Quoted(ids[i]);
    if (ids.size() > limit) out += ", and " + std::to_string(ids.size() - limit) + " more";
    out += '\n';
}

}  // namespace

std::string ImportSummary::Text(size_t listLimit) const {
    std::string out = std::to_string(updated) + " updated, " + std::to_string(unchanged) + " unchanged";
    const std::pair<size_t, const char*> skipped[] = {
        {noTranslation, "without a translation"},
        {unknownId, "with a Global ID not in the document"},
        {sharedId, "with a Global ID several entries share"},
        {repeated, "repeating a Global ID already imported"},
        {fuzzy, "marked fuzzy"},
        {plural, "with plural forms (not supported)"},
        {unkeyed, "without a Global ID"},
    };
    for (const auto& [count, reason] : skipped)
        if (count) out += ", " + std::to_string(count) + " skipped " + reason;
    out += ".\n";
    if (!sourceChanged.empty())
        out += std::to_string(sourceChanged.size()) +
               " imported although their original text in the file differs from the document's (source "
               "changed).\n";
    AppendList(out, "Source changed:", sourceChanged, listLimit);
    AppendList(out, "Not in the document:", unknownIds, listLimit);
    AppendList(out, "Shared by several entries:", sharedIds, listLimit);
    if (becameUtf8)
        out +=
            "The localized file held Latin-1 and now takes characters Latin-1 cannot hold: it is written as "
            "UTF-8 from now on.\n";
    return out;
}

Status ReadTranslations(const std::string& path, ExchangeFormat format, std::vector<IncomingUnit>& units) {
    if (format == ExchangeFormat::Po) return ReadPo(path, units);
    std::string bytes;
    if (Status s = ReadWholeFile(path, bytes); !s) return s;
    Status s = format == ExchangeFormat::Xliff ? ReadXliff(bytes, units) : ReadCsv(bytes, units);
    if (!s) return Status::Error("\"" + path + "\": " + s.message());
    return s;
}

Status ComputeImport(const TranslationTable& table, const std::vector<IncomingUnit>& units,
                     const ImportOptions& options, ImportResult& result) {
    ImportResult r;
    ImportSummary& sum = r.summary;
    const EntryKeys keys(table);
    const size_t n = table.Count();
    // The translation each entry takes, by index into `units`.
    constexpr size_t kNoUnit = static_cast<size_t>(-1);
    std::vector<size_t> taken(n, kNoUnit);
    const Encoding txr = table.TxrEncoding();
    const Encoding txl = table.TxlEncoding();

    for (size_t u = 0; u < units.size(); ++u) {
        const IncomingUnit& unit = units[u];
        switch (unit.kind) {
            case IncomingUnit::Kind::Plural:
                ++sum.plural;
                continue;
            case IncomingUnit::Kind::Unkeyed:
                ++sum.unkeyed;
                continue;
            case IncomingUnit::Kind::Fuzzy:
                if (!options.includeFuzzy) {
                    ++sum.fuzzy;
                    continue;
                }
                break;
            case IncomingUnit::Kind::Translation:
                break;
        }
        if (unit.target.empty()) {
            ++sum.noTranslation;
            continue;
        }
        const size_t entry = keys.Find(unit.key);
        if (entry == EntryKeys::kNone) {
            ++sum.unknownId;
            sum.unknownIds.push_back(unit.key);
            continue;
        }
        if (entry == EntryKeys::kShared) {
            ++sum.sharedId;
            sum.sharedIds.push_back(unit.key);
            continue;
        }
        if (taken[entry] != kNoUnit) {
            ++sum.repeated;
            continue;
        }
        if (TextRules::HasLineBreak(unit.target))
            return Status::Error(
                "The translation of the entry with the Global ID " + Quoted(unit.key) +
                " holds a line break, which a localized file cannot hold. Nothing was imported.");
        if (!IsValidUtf8(unit.target))
            return Status::Error("The translation of the entry with the Global ID " + Quoted(unit.key) +
                                 " is not valid UTF-8. Nothing was imported.");
        taken[entry] = u;
        if (unit.hasSource && !SameText(table.OriginalCell(entry, ColText), txr, unit.source, Encoding::Utf8))
            sum.sourceChanged.push_back(unit.key);
        const bool same = SameText(table.TranslationCell(entry, ColText), txl, unit.target, Encoding::Utf8);
        if (!table.StandIn(entry) && same)
            ++sum.unchanged;
        else
            ++sum.updated;
        // A stand-in keeping its text only stops standing in (see `translated`).
        if (!same) r.changes.push_back({static_cast<int>(2 * entry + 1), unit.target});
    }

    for (size_t i = 0; i < n; ++i)
        if (taken[i] != kNoUnit) r.translated.push_back(static_cast<int>(2 * i + 1));
    std::sort(r.changes.begin(), r.changes.end(),
              [](const TranslationChange& a, const TranslationChange& b) { return a.row < b.row; });
    result = std::move(r);
    return Status::Ok();
}

Status WriteImportedTranslations(TranslationTable& table, ImportResult& result, const std::string& txlPath) {
    Document* doc = table.OwnDocument();
    if (!doc) return Status::Error("The import has no document of its own to write.");
    // Nobody to ask on the command line: a .txl that cannot hold a translation becomes UTF-8.
    doc->SetConversionQuestion([](DocFile, std::string_view) { return true; });
    if (Status s = doc->ApplyImport(result.changes, result.translated, &result.summary.becameUtf8); !s)
        return s;
    // A .txl turned UTF-8 carries its group table in UTF-8 too, though the .txr keeps Latin-1.
    return doc->SaveTranslations(txlPath, result.summary.becameUtf8);
}
