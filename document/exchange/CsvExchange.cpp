#include "document/exchange/CsvExchange.h"

#include <utility>

#include "document/exchange/TranslationTable.h"
#include "document/format/TextEncoding.h"

namespace {

void AppendField(std::string& out, std::string_view s) {
    // A plain loop: find_first_of looks every byte up in the set with a call of its own, which
    // was a quarter of a large export.
    bool quote = !s.empty() && (s.front() == ' ' || s.back() == ' ');
    for (const char c : s) quote |= c == ',' || c == '"' || c == '\r' || c == '\n';
    if (!quote) {
        out += s;
        return;
    }
    out += '"';
    size_t start = 0;
    for (size_t q = s.find('"'); q != std::string_view::npos; q = s.find('"', q + 1)) {
        out.append(s.data() + start, q + 1 - start);
        out += '"';
        start = q + 1;
    }
    out.append(s.data() + start, s.size() - start);
    out += '"';
}

// Splits the sheet into rows of fields, remembering where each row starts.
class CsvParser {
public:
    explicit CsvParser(std::string_view bytes) : m_s(bytes) {}

    // The next row; false at the end of the input or on an error (then Error() is set).
    bool NextRow(std::vector<std::string>& fields) {
        fields.clear();
        if (m_p >= m_s.size() || !m_error.empty()) return false;
        m_rowLine = m_line;
        for (;;) {
            std::string& field = fields.emplace_back();
            if (!ReadField(field)) return false;
            if (m_p >= m_s.size()) return true;
            const char c = m_s[m_p];
            if (c == ',') {
                Advance(1);
                continue;
            }
            // A row end: CRLF or LF.
            Advance(c == '\r' ? 2 : 1);
            return true;
        }
    }

    const std::string& Error() const { return m_error; }
    size_t RowLine() const { return m_rowLine; }
    void Fail(const std::string& what, size_t line, size_t column) {
        m_error = "The CSV file " + what + ", at line " + std::to_string(line) + ", column " +
                  std::to_string(column) + ".";
    }

private:
    size_t Column() const { return m_p - m_lineStart + 1; }
    void Advance(size_t n) {
        for (size_t end = std::min(m_p + n, m_s.size()); m_p < end; ++m_p)
            if (m_s[m_p] == '\n') {
                ++m_line;
                m_lineStart = m_p + 1;
            }
    }

    bool ReadField(std::string& field) {
        if (m_p < m_s.size() && m_s[m_p] == '"') {
            const size_t line = m_line, column = Column();
            Advance(1);
            for (;;) {
                const size_t q = m_s.find('"', m_p);
                if (q == std::string_view::npos) {
                    Fail("has a quoted field that is never closed", line, column);
                    return false;
                }
                field.append(m_s.data() + m_p, q - m_p);
                Advance(q + 1 - m_p);
                if (m_p < m_s.size() && m_s[m_p] == '"') {
                    field += '"';
                    Advance(1);
                    continue;
                }
                break;
            }
            if (m_p < m_s.size() && !AtFieldEnd()) {
                Fail("has text after the closing quote of a field", m_line, Column());
                return false;
            }
            return true;
        }
        const size_t start = m_p;
        while (m_p < m_s.size() && !AtFieldEnd()) {
            if (m_s[m_p] == '"') {
                Fail("has a quote inside a field that does not start with one", m_line, Column());
                return false;
            }
            if (m_s[m_p] == '\r') {
                Fail("has a CR that does not end a row", m_line, Column());
                return false;
            }
            ++m_p;
        }
        field.assign(m_s.data() + start, m_p - start);
        return true;
    }

    bool AtFieldEnd() const {
        const char c = m_s[m_p];
        return c == ',' || c == '\n' || (c == '\r' && m_p + 1 < m_s.size() && m_s[m_p + 1] == '\n');
    }

    std::string_view m_s;
    size_t m_p = 0;
    size_t m_line = 1;
    size_t m_lineStart = 0;
    size_t m_rowLine = 1;
    std::string m_error;
};

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Line and column (in bytes, from 1) of the first byte that does not begin a valid UTF-8
// character.
std::pair<size_t, size_t> FirstInvalidUtf8(std::string_view s) {
    size_t line = 1, lineStart = 0, p = 0;
    while (p < s.size()) {
        const auto c = static_cast<unsigned char>(s[p]);
        const size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        if (p + length > s.size() || !IsValidUtf8(s.substr(p, length))) break;
        if (c == '\n') {
            ++line;
            lineStart = p + 1;
        }
        p += length;
    }
    return {line, p - lineStart + 1};
}

}  // namespace

Status ExportCsv(const TranslationTable& table, const ExportOptions& options, ByteSink& sink) {
    const size_t n = table.Count();
    std::string out;  // a piece of the file at a time
    out.reserve(2 * ByteSink::kPiece);
    if (options.byteOrderMark) out += kBom;
    out += "Global ID,Group Name,Group ID,Original,Translation,Status\r\n";
    std::string s1, s2, s3, s4;
    for (size_t i = 0; i < n; ++i) {
        const EntryStatus status = table.StatusAt(i);
        AppendField(out, table.GlobalId(i, s1));
        out += ',';
        AppendField(out, table.GroupName(i, s2));
        out += ',';
        AppendField(out, table.OriginalCell(i, ColGroupId));
        out += ',';
        AppendField(out, table.Original(i, s3));
        out += ',';
        if (status == EntryStatus::Translated) AppendField(out, table.Translation(i, s4));
        out += ',';
        out += StatusName(status);
        out += "\r\n";
        if (out.size() >= ByteSink::kPiece) {
            sink.Write(out);
            out.clear();
        }
    }
    sink.Write(out);
    return Status::Ok();
}

Status ReadCsv(std::string_view bytes, std::vector<IncomingUnit>& units) {
    if (bytes.starts_with(kBom)) bytes.remove_prefix(kBom.size());
    if (!IsValidUtf8(bytes)) {
        const auto [line, column] = FirstInvalidUtf8(bytes);
        return Status::Error("The CSV file is not valid UTF-8, at line " + std::to_string(line) +
                             ", column " + std::to_string(column) + ".");
    }
    CsvParser parser(bytes);
    std::vector<std::string> fields;
    if (!parser.NextRow(fields)) {
        if (!parser.Error().empty()) return Status::Error(parser.Error());
        return Status::Error("The CSV file is empty: it has no header row.");
    }
    const size_t width = fields.size();
    size_t idColumn = width, originalColumn = width, translationColumn = width;
    for (size_t c = 0; c < width; ++c) {
        if (fields[c] == "Global ID") idColumn = c;
        if (fields[c] == "Original") originalColumn = c;
        if (fields[c] == "Translation") translationColumn = c;
    }
    if (idColumn == width || translationColumn == width)
        return Status::Error(
            "The CSV file's first row does not name the columns \"Global ID\" and \"Translation\", at line "
            "1, "
            "column 1.");
    std::vector<IncomingUnit> read;
    while (parser.NextRow(fields)) {
        if (fields.size() == 1 && fields[0].empty()) continue;  // a blank line
        if (fields.size() != width) {
            parser.Fail("has a row of " + std::to_string(fields.size()) + " fields under a header of " +
                            std::to_string(width),
                        parser.RowLine(), 1);
            break;
        }
        IncomingUnit& u = read.emplace_back();
        u.line = parser.RowLine();
        u.key = std::move(fields[idColumn]);
        u.target = std::move(fields[translationColumn]);
        if (originalColumn != width) {
            u.hasSource = true;
            u.source = std::move(fields[originalColumn]);
        }
    }
    if (!parser.Error().empty()) return Status::Error(parser.Error());
    units = std::move(read);
    return Status::Ok();
}
