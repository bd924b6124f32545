#pragma once
// Texts of the history kept in one buffer, so that a step of many cells costs one allocation.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Texts kept back to back; a row's text is found by its end offset.
struct TextPile {
    std::string bytes;
    std::vector<size_t> ends;
    void Add(std::string_view s) {
        bytes.append(s);
        ends.push_back(bytes.size());
    }
    std::string_view At(size_t i) const {
        const size_t begin = i == 0 ? 0 : ends[i - 1];
        return std::string_view(bytes).substr(begin, ends[i] - begin);
    }
    size_t Bytes() const { return bytes.capacity() + ends.capacity() * sizeof(size_t); }
};
