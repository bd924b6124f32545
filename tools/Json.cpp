#include "tools/Json.h"

// JSON string of a cell: valid UTF-8 passes through, any other byte stands for U+0000 + byte.
void AppendJsonString(std::string& out, std::string_view s) {
    static const char kHex[] = "0123456789abcdef";
    auto escaped = [&out](unsigned char byte) {
        out += "\\u00";
        out += kHex[byte >> 4];
        out += kHex[byte & 15];
    };
    out += '"';
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = s.size();
    for (size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            switch (c) {
                case '"':
                    out += "\\\"";
                    break;
                case '\\':
                    out += "\\\\";
                    break;
                case '\b':
                    out += "\\b";
                    break;
                case '\f':
                    out += "\\f";
                    break;
                case '\n':
                    out += "\\n";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                default:
                    if (c < 0x20)
                        escaped(c);
                    else
                        out += static_cast<char>(c);
            }
            ++i;
            continue;
        }
        // The length of a well-formed sequence starting here, or 0.
        size_t len = 0;
        unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF)
            len = 2;
        else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            if (c == 0xE0)
                lo = 0xA0;  // no overlong forms
            else if (c == 0xED)
                hi = 0x9F;  // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            if (c == 0xF0)
                lo = 0x90;
            else if (c == 0xF4)
                hi = 0x8F;  // nothing past U+10FFFF
        }
        bool valid = len > 0 && i + len <= n && p[i + 1] >= lo && p[i + 1] <= hi;
        for (size_t k = 2; valid && k < len; ++k) valid = p[i + k] >= 0x80 && p[i + k] <= 0xBF;
        if (valid) {
            out.append(s.data() + i, len);
            i += len;
        } else {
            escaped(c);
            ++i;
        }
    }
    out += '"';
}
