#include "document/exchange/PoExchange.h"

#include <gettext-po.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <ctime>
#include <memory>
#include <utility>

#include "document/exchange/EntryKeys.h"
#include "document/exchange/TranslationTable.h"
#include "document/format/TextEncoding.h"

namespace {

// As gettext writes strings: the C escapes for backslash, quote and the control characters that
// have one; other bytes as they are.
void AppendPoString(std::string& out, std::string_view s) {
    out += '"';
    size_t start = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        char escape = 0;
        switch (s[i]) {
            case '\\':
                escape = '\\';
                break;
            case '"':
                escape = '"';
                break;
            case '\a':
                escape = 'a';
                break;
            case '\b':
                escape = 'b';
                break;
            case '\f':
                escape = 'f';
                break;
            case '\n':
                escape = 'n';
                break;
            case '\r':
                escape = 'r';
                break;
            case '\t':
                escape = 't';
                break;
            case '\v':
                escape = 'v';
                break;
            default:
                continue;
        }
        out.append(s.data() + start, i - start);
        out += '\\';
        out += escape;
        start = i + 1;
    }
    out.append(s.data() + start, s.size() - start);
    out += "\"\n";
}

// A comment line holds no line break: control characters become spaces.
void AppendComment(std::string& out, std::string_view label, std::string_view value) {
    out += "#. ";
    out += label;
    out += ": ";
    for (const char c : value) out += static_cast<unsigned char>(c) < 0x20 && c != '\t' ? ' ' : c;
    out += '\n';
}

// ---------------------------------------------------------------------------------------------
// Reading

struct PoErrors {
    std::string first;
};
thread_local PoErrors* t_errors = nullptr;
thread_local std::jmp_buf* t_fatal = nullptr;

void Record(int severity, const char* filename, size_t line, size_t column, const char* text) {
    if (severity == PO_SEVERITY_WARNING || !t_errors || !t_errors->first.empty()) return;
    std::string message = "The PO file is malformed";
    if (filename && line != static_cast<size_t>(-1)) {
        message += ", at line " + std::to_string(line);
        if (column != static_cast<size_t>(-1)) message += ", column " + std::to_string(column);
    }
    std::string reason = text ? text : "";
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
    t_errors->first = message + ": " + reason + ".";
}

void OnError(int severity, po_message_t, const char* filename, size_t line, size_t column, int,
             const char* text) {
    Record(severity, filename, line, column, text);
    if (severity == PO_SEVERITY_FATAL_ERROR && t_fatal) std::longjmp(*t_fatal, 1);
}

void OnError2(int severity, po_message_t, const char* filename, size_t line, size_t column, int,
              const char* text, po_message_t, const char*, size_t, size_t, int, const char*) {
    OnError(severity, nullptr, filename, line, column, 0, text);
}

// The parser must not return from a fatal error: it is left through longjmp, from a frame that
// holds nothing to destroy.
po_file_t ReadGuarded(const char* path, const po_xerror_handler* handler) {
    std::jmp_buf fatal;
    t_fatal = &fatal;
    if (setjmp(fatal) != 0) {
        t_fatal = nullptr;
        return nullptr;
    }
    po_file_t file = po_file_read(path, handler);
    t_fatal = nullptr;
    return file;
}

struct PoFileCloser {
    void operator()(po_file* f) const { po_file_free(f); }
};
struct IteratorCloser {
    void operator()(po_message_iterator_t it) const { po_message_iterator_free(it); }
};

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

}  // namespace

Status ExportPo(const TranslationTable& table, const ExportOptions& options, ByteSink& sink,
                size_t* leftOut) {
    const EntryKeys keys(table);
    const size_t n = table.Count();
    std::string out;  // a piece of the file at a time
    out.reserve(2 * ByteSink::kPiece);
    char date[32];
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M+0000", &utc);
    std::string header = "Project-Id-Version: " + options.originalName + "\nPO-Revision-Date: " + date +
                         "\nLast-Translator: \nLanguage-Team: \nLanguage: " + options.targetLanguage +
                         "\nMIME-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\n"
                         "Content-Transfer-Encoding: 8bit\nX-Generator: Quillmere txrtool\n";
    out += "msgid \"\"\nmsgstr \"\"\n";
    size_t start = 0;
    while (start < header.size()) {
        const size_t end = header.find('\n', start) + 1;
        AppendPoString(out, std::string_view(header).substr(start, end - start));
        start = end;
    }
    size_t left = 0;
    std::string s1, s2, s3, id;
    for (size_t i = 0; i < n; ++i) {
        const std::string_view original = table.Original(i, s1);
        if (original.empty()) {
            ++left;
            continue;
        }
        out += '\n';
        AppendComment(out, "Global ID", keys.GlobalId(i));
        AppendComment(out, "Group Name", table.GroupName(i, s2));
        AppendComment(out, "Group ID", table.OriginalCell(i, ColGroupId));
        // An empty Global ID is a context of its own (msgctxt ""), unlike no context at all.
        id = keys.Unique(i) ? std::string(keys.GlobalId(i)) : keys.UnitId(i);
        out += "msgctxt ";
        AppendPoString(out, id);
        out += "msgid ";
        AppendPoString(out, original);
        out += "msgstr ";
        AppendPoString(out, table.StatusAt(i) == EntryStatus::Translated ? table.Translation(i, s3)
                                                                         : std::string_view());
        if (out.size() >= ByteSink::kPiece) {
            sink.Write(out);
            out.clear();
        }
    }
    sink.Write(out);
    if (leftOut) *leftOut = left;
    return Status::Ok();
}

Status ReadPo(const std::string& path, std::vector<IncomingUnit>& units) {
    PoErrors errors;
    t_errors = &errors;
    const po_xerror_handler handler{OnError, OnError2};
    errno = 0;
    std::unique_ptr<po_file, PoFileCloser> file(ReadGuarded(path.c_str(), &handler));
    const int err = errno;
    t_errors = nullptr;
    if (!errors.first.empty()) return Status::Error(errors.first);
    if (!file)
        return Status::Error("Cannot read \"" + path + "\": " + (err ? std::strerror(err) : "not a PO file") +
                             ".");

    bool latin1 = false;
    if (const char* header = po_file_domain_header(file.get(), nullptr)) {
        std::unique_ptr<char, decltype(&std::free)> type(po_header_field(header, "Content-Type"), &std::free);
        if (type) {
            const std::string value = Lower(type.get());
            const size_t at = value.find("charset=");
            std::string charset = at == std::string::npos ? "" : value.substr(at + 8);
            charset = charset.substr(0, charset.find_first_of("; \t"));
            if (charset == "iso-8859-1" || charset == "latin1" || charset == "iso_8859-1")
                latin1 = true;
            else if (!charset.empty() && charset != "utf-8" && charset != "utf8" && charset != "charset" &&
                     charset != "ascii" && charset != "us-ascii")
                return Status::Error("The PO file is in the character set \"" + charset +
                                     "\"; only UTF-8 and ISO-8859-1 can be imported.");
        }
    }
    auto text = [latin1](const char* s, std::string& out) {
        const std::string_view v = s ? s : "";
        if (latin1) {
            out = Latin1ToUtf8(v);
            return true;
        }
        out.assign(v);
        return IsValidUtf8(v);
    };

    std::vector<IncomingUnit> read;
    std::unique_ptr<struct po_message_iterator, IteratorCloser> it(po_message_iterator(file.get(), nullptr));
    while (po_message_t m = po_next_message(it.get())) {
        if (po_message_is_obsolete(m)) continue;
        const char* context = po_message_msgctxt(m);
        const char* msgid = po_message_msgid(m);
        if (!context && msgid[0] == '\0') continue;  // the header
        IncomingUnit u;
        u.hasSource = true;
        if (!text(context, u.key) || !text(msgid, u.source) || !text(po_message_msgstr(m), u.target))
            return Status::Error("The PO file says it is UTF-8, but the entry with msgctxt \"" +
                                 std::string(context ? context : "") + "\" is not valid UTF-8.");
        if (po_message_msgid_plural(m))
            u.kind = IncomingUnit::Kind::Plural;
        else if (!context)
            u.kind = IncomingUnit::Kind::Unkeyed;
        else if (po_message_is_fuzzy(m))
            u.kind = IncomingUnit::Kind::Fuzzy;
        read.push_back(std::move(u));
    }
    units = std::move(read);
    return Status::Ok();
}
