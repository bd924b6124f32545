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
    // A write of `path` that failed for `reason`, nothing of it (nor of the files written with
    // it) having taken the place of what was there: "Cannot write "path": reason." unless
    // `message` says it otherwise.
    static Status WriteError(std::string path, std::string reason, std::string message = {}) {
        if (message.empty()) message = "Cannot write \"" + path + "\": " + reason + ".";
        Status s(std::move(message));
        s.m_strFile = std::move(path);
        s.m_strReason = std::move(reason);
        return s;
    }

    bool ok() const { return m_bOk; }
    explicit operator bool() const { return m_bOk; }
    const std::string& message() const { return m_strMessage; }
    // For a WriteError: the file that failed and why; empty otherwise.
    const std::string& file() const { return m_strFile; }
    const std::string& reason() const { return m_strReason; }

private:
    explicit Status(std::string message) : m_bOk(false), m_strMessage(std::move(message)) {}
    bool m_bOk = true;
    std::string m_strMessage;
    std::string m_strFile;
    std::string m_strReason;
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
