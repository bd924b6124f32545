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
    //                   either case as f); a '*' width or precision takes an int argument of its own.
    //                   gettext's <inttypes.h> macros, "%<PRIdMAX>", "%1$<PRIx64>", are conversions
    //                   too, their size as the length ("1$<MAX>d", "1$<64>u").
    //   Qt      "%1"    %1 to %99 (also %L1)
    //   braces  "{0}"   a number or a name in braces: "{name}"; a format after ':' or a C#
    //                   alignment after ',' does not count, nor an ICU MessageFormat type and style
    //                   ("{n, number, integer}" is "{n}"). ICU plural and select arguments are
    //                   "{count,plural}", "{g,select}", "{n,selectordinal}", and the arguments in
    //                   their sub-messages count once each. Braces around anything else ("{a,b,c}")
    //                   are text, and "{{" is a literal brace.
    // "%%" is a literal percent sign. A space is not taken as a printf flag, so "100% sure" holds none.
    std::string kind;
};

// How a '%' with a digit after it reads: as a printf conversion where it is one ("%1s" a string
// of width 1), or as a Qt placeholder followed by text ("%1st"). Positional printf ("%1$s")
// reads the same either way.
enum class PercentReading { PrintfFirst, QtFirst };

// The placeholders of a text, in the order written.
std::vector<Placeholder> FindPlaceholders(std::string_view text,
                                          PercentReading reading = PercentReading::PrintfFirst);
// The reading under which two texts (an original and its translation) are compared: printf
// first unless the two agree only when read as Qt texts, or disagree either way while one of
// them holds a placeholder only Qt has ("%1 files", "%1.").
PercentReading ReadingOfPair(std::string_view a, std::string_view b);
// Whether two texts hold the same placeholders by kind and count, in any order, under the
// reading of the pair.
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
