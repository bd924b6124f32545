#pragma once
// The two encodings a text resource file may be in, and the conversions between them. A file
// whose cells and group names are all valid UTF-8 is UTF-8; any other is Latin-1 (one byte a
// character, every byte value a character). Each file of a document has its own.
#include <string>
#include <string_view>

enum class Encoding { Utf8, Latin1 };

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view s);

// The text of Latin-1 bytes, in UTF-8.
std::string Latin1ToUtf8(std::string_view latin1);
// The Latin-1 bytes of a UTF-8 text; false (out unspecified) when it holds a character above
// U+00FF or is not valid UTF-8.
bool Utf8ToLatin1(std::string_view utf8, std::string& out);

// Bytes of a cell in `from`, as UTF-8 text (UTF-8 cells are returned as they are).
std::string ToUtf8(std::string_view bytes, Encoding from);
// Whether two cells hold the same text, each read in its own encoding.
bool SameText(std::string_view a, Encoding ea, std::string_view b, Encoding eb);
