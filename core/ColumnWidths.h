#pragma once
// The stored column layout: a count N and N widths, each a little-endian signed 32-bit value
// (4 + 4N bytes).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

std::string SerializeWidths(const std::vector<int32_t>& widths);

struct StoredWidths {
    enum Result {
        Applied,        // widths holds expectedCount widths
        NoValue,        // empty value: keep the defaults
        CountMismatch,  // the value announces another column count: keep the defaults
        TooShort,       // fewer bytes than the count announces: keep the defaults
    };
    Result result = NoValue;
    std::vector<int32_t> widths;
};
StoredWidths DeserializeWidths(std::string_view bytes, int expectedCount);
