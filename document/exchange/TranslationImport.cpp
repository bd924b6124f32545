#include "document/exchange/TranslationImport.h"

#include <algorithm>
#include <cstdint>
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

void AppendList(std::string& out, const char* what, const std::vector<std::string>& ids, size_t limit,
                bool quote = true) {
    if (ids.empty()) return;
    out += what;
    for (size_t i = 0; i < ids.size() && i < limit; ++i)
        out += (i ? ", " : " ") + (quote ? Quoted(ids[i]) : ids[i]);
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
        {inlineCode, "with inline codes (markup a plain text cannot carry)"},
        {targets, "with several targets"},
        {untranslated, "marked not translated (state new or needs-translation)"},
        {notToTranslate, "marked not to be translated (translate=\"no\")"},
        {conflicting, "giving one entry different translations (none of them imported)"},
    };
    for (const auto& [count, reason] : skipped)
        if (count) out += ", " + std::to_string(count) + " skipped " + reason;
    out += ".\n";
    if (!includeFuzzy && fuzzy > 0 && fuzzy == withTranslation)
        out +=
            "Every unit with a translation is marked for review (fuzzy); to import them, run again with "
            "--include-fuzzy.\n";
    if (!sourceChanged.empty())
        out += std::to_string(sourceChanged.size()) +
               " imported although their original text in the file differs from the document's (source "
               "changed).\n";
    AppendList(out, "Source changed:", sourceChanged, listLimit);
    AppendList(out, "Not in the document:", unknownIds, listLimit);
    AppendList(out, "Shared by several entries:", sharedIds, listLimit);
    AppendList(out, "Inline codes:", inlineCodes, listLimit, false);
    AppendList(out, "Several targets:", severalTargets, listLimit);
    AppendList(out, "Different translations of one entry:", conflicts, listLimit);
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
    sum.includeFuzzy = options.includeFuzzy;
    const EntryKeys keys(table);
    const size_t n = table.Count();
    // The translation each entry takes, by index into `units`.
    constexpr size_t kNoUnit = static_cast<size_t>(-1);
    std::vector<size_t> taken(n, kNoUnit);
    std::vector<uint8_t> conflicted(n, 0);
    const Encoding txr = table.TxrEncoding();
    const Encoding txl = table.TxlEncoding();

    for (size_t u = 0; u < units.size(); ++u) {
        const IncomingUnit& unit = units[u];
        if (!unit.target.empty()) ++sum.withTranslation;
        switch (unit.kind) {
            case IncomingUnit::Kind::Plural:
                ++sum.plural;
                continue;
            case IncomingUnit::Kind::Unkeyed:
                ++sum.unkeyed;
                continue;
            case IncomingUnit::Kind::InlineCode:
                ++sum.inlineCode;
                sum.inlineCodes.push_back(Quoted(unit.key) + " (<" + unit.code + ">)");
                continue;
            case IncomingUnit::Kind::Targets:
                ++sum.targets;
                sum.severalTargets.push_back(unit.key);
                continue;
            case IncomingUnit::Kind::Untranslated:
                ++sum.untranslated;
                continue;
            case IncomingUnit::Kind::NotToTranslate:
                ++sum.notToTranslate;
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
            // A key the export made up for an entry without a unique Global ID ("entry-N").
            const size_t madeUp = keys.MadeUpKeyEntry(unit.key);
            if (madeUp != EntryKeys::kNone && keys.GlobalId(madeUp).empty()) {
                ++sum.unkeyed;
            } else if (madeUp != EntryKeys::kNone) {
                ++sum.sharedId;
                sum.sharedIds.emplace_back(keys.GlobalId(madeUp));
            } else {
                ++sum.unknownId;
                sum.unknownIds.push_back(unit.key);
            }
            continue;
        }
        if (entry == EntryKeys::kShared) {
            ++sum.sharedId;
            sum.sharedIds.push_back(unit.key);
            continue;
        }
        if (taken[entry] != kNoUnit) {
            if (units[taken[entry]].target == unit.target) {
                ++sum.repeated;
                continue;
            }
            if (!conflicted[entry]) {
                conflicted[entry] = 1;
                sum.conflicts.push_back(unit.key);
                ++sum.conflicting;  // the unit taken first
            }
            ++sum.conflicting;
            continue;
        }
        taken[entry] = u;
    }

    for (size_t i = 0; i < n; ++i) {
        if (conflicted[i] || taken[i] == kNoUnit) continue;
        const IncomingUnit& unit = units[taken[i]];
        if (TextRules::HasLineBreak(unit.target))
            return Status::Error(
                "The translation of the entry with the Global ID " + Quoted(unit.key) +
                " holds a line break, which a localized file cannot hold. Nothing was imported.");
        if (!IsValidUtf8(unit.target))
            return Status::Error("The translation of the entry with the Global ID " + Quoted(unit.key) +
                                 " is not valid UTF-8. Nothing was imported.");
        if (unit.hasSource && !SameText(table.OriginalCell(i, ColText), txr, unit.source, Encoding::Utf8))
            sum.sourceChanged.push_back(unit.key);
        const bool same = SameText(table.TranslationCell(i, ColText), txl, unit.target, Encoding::Utf8);
        if (!table.StandIn(i) && same)
            ++sum.unchanged;
        else
            ++sum.updated;
        // A stand-in keeping its text only stops standing in (see `translated`).
        const int row = static_cast<int>(2 * i + 1);
        if (!same) r.changes.push_back({row, unit.target});
        r.translated.push_back(row);
    }
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
