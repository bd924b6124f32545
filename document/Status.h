#pragma once
// The result of an operation that can fail: ok, or an error with a message for the user.
#include <string>
#include <string_view>
#include <utility>

class Status {
public:
    Status() = default;
    static Status Ok() { return Status(); }
    static Status Error(std::string message) { return Status(std::move(message)); }

    bool ok() const { return m_bOk; }
    explicit operator bool() const { return m_bOk; }
    const std::string& message() const { return m_strMessage; }

private:
    explicit Status(std::string message) : m_bOk(false), m_strMessage(std::move(message)) {}
    bool m_bOk = true;
    std::string m_strMessage;
};

// A file name, a Global ID or a text as messages give it: in double quotes.
inline std::string Quoted(std::string_view s) {
    std::string quoted;
    quoted.reserve(s.size() + 2);
    quoted += '"';
    quoted += s;
    quoted += '"';
    return quoted;
}
inline std::string QuotedPath(const std::string& path) {
    return Quoted(path);
}
