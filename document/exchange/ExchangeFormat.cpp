#include "document/exchange/ExchangeFormat.h"

#include <cctype>

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool IsLower(std::string_view s, size_t from, size_t to) {
    if (s.size() < from || s.size() > to) return false;
    for (const char c : s)
        if (c < 'a' || c > 'z') return false;
    return true;
}

// A region ("BR", "419") or a script ("Hant") subtag as file names write them.
bool IsSubtag(std::string_view s) {
    auto all = [s](size_t from, int (*pred)(int)) {
        for (size_t i = from; i < s.size(); ++i)
            if (!pred(static_cast<unsigned char>(s[i]))) return false;
        return true;
    };
    if (s.size() == 2) return all(0, std::isupper);
    if (s.size() == 3) return all(0, std::isdigit);
    return s.size() == 4 && std::isupper(static_cast<unsigned char>(s[0])) && all(1, std::islower);
}

}  // namespace

std::optional<ExchangeFormat> FormatFromName(std::string_view name) {
    const std::string n = Lower(name);
    if (n == "xliff" || n == "xlf") return ExchangeFormat::Xliff;
    if (n == "po") return ExchangeFormat::Po;
    if (n == "csv") return ExchangeFormat::Csv;
    return std::nullopt;
}

std::optional<ExchangeFormat> FormatFromPath(std::string_view path) {
    const size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return std::nullopt;
    return FormatFromName(name.substr(dot + 1));
}

std::string LanguageOfFileName(std::string_view path) {
    const size_t slash = path.rfind('/');
    std::string_view stem = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (const size_t dot = stem.rfind('.'); dot != std::string_view::npos) stem = stem.substr(0, dot);
    // The language is the last part of the name ("app.fr", "app_fr", "fr"), or the last two when
    // the last is a region or script ("app_pt_BR", "zh-Hant").
    const size_t last = stem.find_last_of("._-");
    const std::string_view tail = last == std::string_view::npos ? stem : stem.substr(last + 1);
    // Three-letter codes only as the whole name: "my_app" is no language.
    if (IsLower(tail, 2, last == std::string_view::npos ? 3 : 2)) return std::string(tail);
    if (last == std::string_view::npos || !IsSubtag(tail)) return "und";
    const size_t before = last == 0 ? std::string_view::npos : stem.find_last_of("._-", last - 1);
    const std::string_view primary = stem.substr(before == std::string_view::npos ? 0 : before + 1,
                                                 last - (before == std::string_view::npos ? 0 : before + 1));
    if (!IsLower(primary, 2, before == std::string_view::npos ? 3 : 2)) return "und";
    return std::string(primary) + "-" + std::string(tail);
}
