#include "core/ColumnWidths.h"

#include <cstddef>

namespace {

void PutInt32(std::string& out, int32_t value) {
    const uint32_t v = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

int32_t GetInt32(std::string_view bytes, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    return static_cast<int32_t>(v);
}

}  // namespace

std::string SerializeWidths(const std::vector<int32_t>& widths) {
    std::string out;
    out.reserve(4 + 4 * widths.size());
    PutInt32(out, static_cast<int32_t>(widths.size()));
    for (int32_t w : widths) PutInt32(out, w);
    return out;
}

StoredWidths DeserializeWidths(std::string_view bytes, int expectedCount) {
    StoredWidths stored;
    if (bytes.empty()) {
        stored.result = StoredWidths::NoValue;
        return stored;
    }
    if (bytes.size() < 4) {
        stored.result = StoredWidths::TooShort;
        return stored;
    }
    const int32_t count = GetInt32(bytes, 0);
    if (count != expectedCount || count < 0) {
        stored.result = StoredWidths::CountMismatch;
        return stored;
    }
    const size_t n = static_cast<size_t>(count);
    if ((bytes.size() - 4) / 4 < n) {
        stored.result = StoredWidths::TooShort;
        return stored;
    }
    stored.widths.reserve(n);
    for (size_t i = 0; i < n; ++i) stored.widths.push_back(GetInt32(bytes, 4 + 4 * i));
    stored.result = StoredWidths::Applied;
    return stored;
}
