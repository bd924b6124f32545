#pragma once
// The markers in a Text that its translation has to keep: placeholders, the accelerator, white
// space at either end and the '|' parts. Their characters are ASCII, so they are found in the
// bytes of either encoding; only white space beyond ASCII needs the encoding.
#include <string>
#include <string_view>
#include <vector>

#include "document/format/TextEncoding.h"

struct Placeholder {
    std::string_view written;  // as it stands in the text
    // What the text expects in its place; equal for placeholders that take the same argument:
    //   printf  "1$d"   argument number (positionless ones numbered in the order written), then the
    //                   length modifier and the argument type (d/i as d; o/u/x/X as u; e/f/g/a in
    //                   either case as f); a '*' width or precision takes an int argument of its own
    //   Qt      "%1"    %1 to %99 (also %L1)
    //   braces  "{0}"   "{name}"; a format after ':' or ',' does not count, "{{" is a literal brace
    // "%%" is a literal percent sign. A space is not taken as a printf flag, so "100% sure" holds none.
    std::string kind;
};

// The placeholders of a text, in the order written.
std::vector<Placeholder> FindPlaceholders(std::string_view text);
// Whether two texts hold the same placeholders by kind and count, in any order.
bool SamePlaceholders(std::string_view a, std::string_view b);

// Accelerator markers: '&' followed by a character other than '&' or a space. "&&" is a literal
// ampersand and a '&' at the end marks nothing.
int AcceleratorCount(std::string_view text);

// The white space characters at the start and at the end of a text, as code points (a text of
// white space only is all leading and has no trailing part). White space: tab to carriage
// return, space, no-break space, and in UTF-8 the other Unicode spaces (U+1680, U+2000 to
// U+200A, U+2028, U+2029, U+202F, U+205F, U+3000).
std::u32string LeadingSpace(std::string_view text, Encoding encoding);
std::u32string TrailingSpace(std::string_view text, Encoding encoding);

// The number of '|'-separated parts: one more than the number of '|'.
size_t PartCount(std::string_view text);
