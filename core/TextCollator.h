#pragma once
// Locale-aware, case-sensitive text order of the user's locale (LC_COLLATE from the
// environment); plain byte order in the C/POSIX locale. Sort keys make large sorts cheap:
// comparing two keys bytewise gives the same order as Compare.
#include <string>
#include <string_view>
#include <vector>

class TextCollator {
public:
    // The collation of the user's locale ("" = from LC_ALL / LC_COLLATE / LANG), or a named one.
    explicit TextCollator(const char* localeName = "");
    ~TextCollator();
    TextCollator(const TextCollator&) = delete;
    TextCollator& operator=(const TextCollator&) = delete;

    bool IsByteOrder() const { return m_bByteOrder; }
    // False when a locale was asked for but is not installed (the order is then byte order).
    bool LocaleFound() const { return m_bFound; }
    std::string LocaleName() const { return m_strName; }
    int Compare(std::string_view a, std::string_view b) const;
    // Appends the sort key of `text` to `out`.
    void AppendKey(std::string_view text, std::string& out) const;
    // Appends the locale's key of `text` alone, without the raw bytes that AppendKey adds to
    // break ties: two texts with equal locale keys still have to be ordered by their bytes.
    // `scratch` is working space the caller may reuse between calls.
    void AppendLocaleKey(std::string_view text, std::string& out, std::string& scratch) const;
    // The same key, made in `buffer` (kept by the caller between calls, it only grows); the
    // result points into it.
    std::string_view LocaleKey(std::string_view text, std::vector<char>& buffer, std::string& scratch) const;

private:
    void* m_locale = nullptr;  // locale_t
    bool m_bByteOrder = true;
    bool m_bFound = true;
    std::string m_strName;
};
