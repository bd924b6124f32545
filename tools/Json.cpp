#include "tools/Json.h"

#include "document/format/TextEncoding.h"

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
        // The length of the sequence its first byte announces, and whether it is well formed.
        const size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        const bool valid = len > 1 && i + len <= n && IsValidUtf8(s.substr(i, len));
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
