#pragma once
// Where a producer of a file's bytes (an export, a save) puts them as it goes, so that no whole
// copy of the file is ever held: the atomic writer of the target file, or a string in tests.
//
// Contract: Write takes the bytes in the order they belong in the file. It does not fail: a sink
// that cannot take them remembers the failure and reports it when it is finished.
#include <cstddef>
#include <string_view>

class ByteSink {
public:
    // The size of the pieces a producer gathers before handing them over: large enough that the
    // call costs nothing, small enough to count as a constant.
    static constexpr size_t kPiece = size_t{64} << 10;

    ByteSink() = default;
    ByteSink(const ByteSink&) = delete;
    ByteSink& operator=(const ByteSink&) = delete;
    virtual ~ByteSink() = default;

    virtual void Write(std::string_view bytes) = 0;
};
