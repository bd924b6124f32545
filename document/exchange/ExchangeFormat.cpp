#include "document/exchange/ExchangeFormat.h"

#include <cctype>

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
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
