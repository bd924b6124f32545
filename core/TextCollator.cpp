#include "core/TextCollator.h"

#include <locale.h>
#include <string.h>

#include <algorithm>
#include <cstdlib>

// The text order of the entry table.
//
// - In the "C" and "POSIX" locales, and in every "C.<codeset>" locale such as C.UTF-8, texts are
//   ordered byte by byte as unsigned values (a shorter text that is the start of a longer one goes
//   first). Zero bytes and bytes that are not valid in any encoding are ordinary bytes there.
// - In any other locale, texts are ordered by the locale's collation (LC_COLLATE, taken from
//   LC_ALL, then LC_COLLATE, then LANG): the key the C library's strxfrm_l produces for the text
//   is compared byte by byte. That order is case-sensitive. Texts whose keys are equal (the
//   collation ignores some differences, for example bytes that are not valid UTF-8 in a UTF-8
//   locale) are then ordered by their raw bytes, so two different texts never compare equal.
// - The C library's collation stops at a zero byte, so only the part of a text before its first
//   zero byte feeds the locale key; the raw-byte tie-break orders what follows.
// - A locale that is not installed falls back to byte order.
// The result is a total order for any bytes: every comparison is a comparison of the pair
// (locale key, raw bytes), which is the same whichever way round or in whatever order texts meet.

namespace {

std::string ResolveCollateName(const char* localeName) {
    if (localeName && *localeName) return localeName;
    for (const char* var : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* value = std::getenv(var);
        if (value && *value) return value;
    }
    return "C";
}

bool IsByteOrderName(const std::string& name) {
    return name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0;
}

int Sign(int c) {
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace

TextCollator::TextCollator(const char* localeName) : m_strName(ResolveCollateName(localeName)) {
    if (IsByteOrderName(m_strName)) return;
    locale_t loc = newlocale(LC_COLLATE_MASK, m_strName.c_str(), static_cast<locale_t>(nullptr));
    if (!loc) {
        m_bFound = false;
        return;
    }
    m_locale = loc;
    m_bByteOrder = false;
}

TextCollator::~TextCollator() {
    if (m_locale) freelocale(static_cast<locale_t>(m_locale));
}

std::string_view TextCollator::LocaleKey(std::string_view text, std::vector<char>& buffer,
                                         std::string& scratch) const {
    if (m_bByteOrder) return text;
    const size_t zero = text.find('\0');
    scratch.assign(text.substr(0, zero));  // zero-terminated copy for the C library
    const locale_t loc = static_cast<locale_t>(m_locale);
    // Keys run to several times the length of the text (more for letters outside ASCII); room for
    // the usual case mostly saves a second pass.
    if (buffer.size() < scratch.size() * 8 + 32) buffer.resize(scratch.size() * 8 + 32);
    size_t n = strxfrm_l(buffer.data(), scratch.c_str(), buffer.size(), loc);
    if (n >= buffer.size()) {
        buffer.resize(n + 1);
        n = strxfrm_l(buffer.data(), scratch.c_str(), buffer.size(), loc);
    }
    return {buffer.data(), n};
}

void TextCollator::AppendLocaleKey(std::string_view text, std::string& out, std::string& scratch) const {
    std::vector<char> buffer;
    out.append(LocaleKey(text, buffer, scratch));
}

void TextCollator::AppendKey(std::string_view text, std::string& out) const {
    if (m_bByteOrder) {
        out.append(text);
        return;
    }
    // The locale key never holds a zero byte, so a zero after it makes a key that is the start of
    // another sort first, and the raw bytes after the zero decide between equal locale keys.
    std::string scratch;
    AppendLocaleKey(text, out, scratch);
    out.push_back('\0');
    out.append(text);
}

int TextCollator::Compare(std::string_view a, std::string_view b) const {
    if (!m_bByteOrder) {
        std::string ka, kb, scratch;
        AppendLocaleKey(a, ka, scratch);
        AppendLocaleKey(b, kb, scratch);
        if (const int c = ka.compare(kb)) return Sign(c);
    }
    return Sign(a.compare(b));
}
