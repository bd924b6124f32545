#pragma once
// A ByteSink that appends to a string: a whole file in memory, for tests and small outputs.
#include <string>
#include <string_view>

#include "document/format/ByteSink.h"

class StringSink : public ByteSink {
public:
    // Clears `out`, which then receives everything written.
    explicit StringSink(std::string& out) : m_out(out) { m_out.clear(); }
    void Write(std::string_view bytes) override { m_out.append(bytes); }

private:
    std::string& m_out;
};
