#include "document/exchange/XliffExchange.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <utility>

#include "document/exchange/EntryKeys.h"
#include "document/exchange/TranslationTable.h"

namespace {

constexpr std::string_view kXliff12 = "urn:oasis:names:tc:xliff:document:1.2";
constexpr std::string_view kXliff11 = "urn:oasis:names:tc:xliff:document:1.1";

// The first character XML 1.0 cannot carry, as "U+XXXX"; empty when there is none. `s` is
// valid UTF-8.
std::string FirstNonXmlCharacter(std::string_view s) {
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') ||
            (c == 0xEF && i + 2 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0xBF &&
             (static_cast<unsigned char>(s[i + 2]) & 0xFE) == 0xBE)) {
            char name[16];
            std::snprintf(name, sizeof name, "U+%04X", c < 0x20 ? c : 0xFFFE + (s[i + 2] & 1));
            return name;
        }
    }
    return {};
}

// Escapes for element content; in attributes also quotes and tabs (which attribute-value
// normalisation would turn into spaces). CR is always a reference: parsers turn a literal one
// into LF.
void AppendEscaped(std::string& out, std::string_view s, bool attribute) {
    size_t start = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const char* ref = nullptr;
        switch (s[i]) {
            case '&':
                ref = "&amp;";
                break;
            case '<':
                ref = "&lt;";
                break;
            case '>':
                ref = "&gt;";
                break;
            case '\r':
                ref = "&#13;";
                break;
            case '"':
                ref = attribute ? "&quot;" : nullptr;
                break;
            case '\t':
                ref = attribute ? "&#9;" : nullptr;
                break;
            case '\n':
                ref = "&#10;";
                break;
            default:
                break;
        }
        if (!ref) continue;
        out.append(s.data() + start, i - start);
        out += ref;
        start = i + 1;
    }
    out.append(s.data() + start, s.size() - start);
}

void AppendAttribute(std::string& out, std::string_view name, std::string_view value) {
    out += ' ';
    out += name;
    out += "=\"";
    AppendEscaped(out, value, true);
    out += '"';
}

// ---------------------------------------------------------------------------------------------
// Reading

std::string_view View(const xmlChar* s) {
    return s ? std::string_view(reinterpret_cast<const char*>(s)) : std::string_view();
}

struct UnitDraft {
    IncomingUnit unit;
    std::string id;
    std::string resname;
    bool hasResname = false;
    bool approvedNo = false;
    std::string state;
    std::string note;  // developer notes and PO comment contexts, one per line
};

class XliffReader {
public:
    XliffReader(std::vector<IncomingUnit>& out) : m_out(out) {}

    Status Parse(std::string_view bytes) {
        if (bytes.size() > static_cast<size_t>(INT_MAX)) return Status::Error("The XLIFF file is too large.");
        xmlSAXHandler sax;
        std::memset(&sax, 0, sizeof sax);
        sax.initialized = XML_SAX2_MAGIC;
        sax.startElementNs = &XliffReader::OnStart;
        sax.endElementNs = &XliffReader::OnEnd;
        sax.characters = &XliffReader::OnText;
        sax.cdataBlock = &XliffReader::OnText;
        sax.internalSubset = &XliffReader::OnDtd;
        sax.serror = [](void*, xmlErrorPtr) {};
        xmlParserCtxtPtr ctxt = xmlCreateMemoryParserCtxt(bytes.data(), static_cast<int>(bytes.size()));
        if (!ctxt) return Status::Error("Out of memory reading the XLIFF file.");
        std::memcpy(ctxt->sax, &sax, sizeof sax);
        ctxt->userData = this;
        xmlCtxtUseOptions(ctxt, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
        m_ctxt = ctxt;
        xmlParseDocument(ctxt);
        Status result = Status::Ok();
        if (!m_error.empty()) {
            result = Status::Error(m_error);
        } else if (!ctxt->wellFormed) {
            const xmlError* e = xmlCtxtGetLastError(ctxt);
            std::string message = e && e->message ? e->message : "not well-formed";
            while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
            result = Status::Error("The XLIFF file is not well-formed XML, at line " +
                                   std::to_string(e ? e->line : 0) + ", column " +
                                   std::to_string(e ? e->int2 : 0) + ": " + message + ".");
        } else if (!m_sawRoot) {
            result = Status::Error("The file is not XLIFF: it has no <xliff> element.");
        }
        xmlFreeParserCtxt(ctxt);
        if (!result) return result;
        Finish();
        return Status::Ok();
    }

private:
    static XliffReader& Self(void* ctx) { return *static_cast<XliffReader*>(ctx); }

    size_t Line() const { return static_cast<size_t>(xmlSAX2GetLineNumber(m_ctxt)); }
    size_t Column() const { return static_cast<size_t>(xmlSAX2GetColumnNumber(m_ctxt)); }

    void Fail(std::string message) {
        if (m_error.empty())
            m_error = "The XLIFF file " + std::move(message) + ", at line " + std::to_string(Line()) +
                      ", column " + std::to_string(Column()) + ".";
        xmlStopParser(m_ctxt);
    }

    static void OnDtd(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
        Self(ctx).Fail("has a document type declaration, which XLIFF does not use");
    }

    static void OnStart(void* ctx, const xmlChar* localname, const xmlChar*, const xmlChar* uri, int,
                        const xmlChar**, int attributeCount, int, const xmlChar** attributes) {
        XliffReader& r = Self(ctx);
        const std::string_view name = View(localname);
        const std::string_view ns = View(uri);
        ++r.m_depth;
        if (r.m_depth == 1) {
            if (name != "xliff" || (ns != kXliff12 && ns != kXliff11))
                return r.Fail("is not XLIFF 1.1 or 1.2: its root element is not <xliff> in their namespace");
            r.m_sawRoot = true;
            return;
        }
        if (ns != kXliff12 && ns != kXliff11) return;
        auto attribute = [&](std::string_view wanted, std::string* value) {
            for (int i = 0; i < attributeCount; ++i) {
                const xmlChar** a = attributes + 5 * i;  // localname, prefix, URI, value, end
                if (View(a[0]) == wanted && a[2] == nullptr) {
                    if (value)
                        value->assign(reinterpret_cast<const char*>(a[3]), static_cast<size_t>(a[4] - a[3]));
                    return true;
                }
            }
            return false;
        };
        if (r.m_ignoreDepth) return;
        if (name == "alt-trans" || name == "seg-source" || name == "bin-unit") {
            r.m_ignoreDepth = r.m_depth;
            return;
        }
        if (name == "group") {
            std::string restype;
            attribute("restype", &restype);
            const bool plural = restype == "x-gettext-plurals";
            r.m_groups.push_back(plural);
            if (plural && r.m_pluralDepth == 0) {
                r.m_pluralDepth = r.m_depth;
                IncomingUnit u;
                u.kind = IncomingUnit::Kind::Plural;
                u.line = r.Line();
                attribute("id", &u.key);
                r.m_drafts.push_back(UnitDraft{std::move(u), {}, {}, false, false, {}, {}});
            }
            return;
        }
        if (name == "trans-unit") {
            if (r.m_unitDepth) return r.Fail("has a <trans-unit> inside another");
            r.m_unitDepth = r.m_depth;
            r.m_draft = UnitDraft{};
            r.m_draft.unit.line = r.Line();
            attribute("id", &r.m_draft.id);
            r.m_draft.hasResname = attribute("resname", &r.m_draft.resname);
            std::string value;
            if (attribute("restype", &value) && value == "x-gettext-domain-header") r.m_header = true;
            r.m_draft.unit.kind = value == "x-gettext-domain-header" ? IncomingUnit::Kind::Unkeyed
                                                                     : IncomingUnit::Kind::Translation;
            r.m_skipUnit = value == "x-gettext-domain-header" || r.m_pluralDepth != 0;
            r.m_draft.approvedNo = attribute("approved", &value) && value == "no";
            return;
        }
        if (!r.m_unitDepth) return;
        if (r.m_depth == r.m_unitDepth + 1) {
            if (name == "source") {
                r.m_draft.unit.hasSource = true;
                r.m_capture = &r.m_draft.unit.source;
                r.m_captureDepth = r.m_depth;
            } else if (name == "target") {
                attribute("state", &r.m_draft.state);
                r.m_capture = &r.m_draft.unit.target;
                r.m_captureDepth = r.m_depth;
            } else if (name == "note") {
                std::string from;
                if (attribute("from", &from) && from == "developer") r.StartNote();
            }
        } else if (name == "context") {
            std::string type;
            if (attribute("context-type", &type) && type == "x-po-autocomment") r.StartNote();
        }
    }

    void StartNote() {
        if (!m_draft.note.empty()) m_draft.note += '\n';
        m_capture = &m_draft.note;
        m_captureDepth = m_depth;
    }

    static void OnEnd(void* ctx, const xmlChar* localname, const xmlChar*, const xmlChar* uri) {
        XliffReader& r = Self(ctx);
        const int depth = r.m_depth--;
        if (r.m_captureDepth == depth) {
            r.m_capture = nullptr;
            r.m_captureDepth = 0;
        }
        if (r.m_ignoreDepth) {
            if (r.m_ignoreDepth == depth) r.m_ignoreDepth = 0;
            return;
        }
        const std::string_view ns = View(uri);
        if (ns != kXliff12 && ns != kXliff11) return;
        const std::string_view name = View(localname);
        if (name == "group" && !r.m_groups.empty()) {
            r.m_groups.pop_back();
            if (r.m_pluralDepth == depth) r.m_pluralDepth = 0;
        } else if (name == "trans-unit" && r.m_unitDepth == depth) {
            r.m_unitDepth = 0;
            if (!r.m_skipUnit) r.m_drafts.push_back(std::move(r.m_draft));
        }
    }

    static void OnText(void* ctx, const xmlChar* text, int length) {
        XliffReader& r = Self(ctx);
        if (r.m_capture && !r.m_ignoreDepth)
            r.m_capture->append(reinterpret_cast<const char*>(text), static_cast<size_t>(length));
    }

    // Keys and kinds, now that the whole file is known.
    void Finish() {
        m_out.reserve(m_out.size() + m_drafts.size());
        for (UnitDraft& d : m_drafts) {
            IncomingUnit& u = d.unit;
            if (u.kind == IncomingUnit::Kind::Translation) {
                if (d.hasResname) {
                    u.key = std::move(d.resname);
                } else if (!m_header) {
                    u.key = std::move(d.id);
                } else if (!NoteGlobalId(d.note, u.key)) {
                    u.kind = IncomingUnit::Kind::Unkeyed;
                    u.key = std::move(d.id);
                }
                if (u.kind == IncomingUnit::Kind::Translation && !u.target.empty() &&
                    (d.approvedNo || d.state.starts_with("needs-review")))
                    u.kind = IncomingUnit::Kind::Fuzzy;
            }
            m_out.push_back(std::move(u));
        }
    }

    // The Global ID a PO export wrote into its comment ("Global ID: X" on a line of its own).
    static bool NoteGlobalId(std::string_view note, std::string& id) {
        constexpr std::string_view kPrefix = "Global ID: ";
        size_t start = 0;
        while (start <= note.size()) {
            const size_t end = std::min(note.find('\n', start), note.size());
            const std::string_view line = note.substr(start, end - start);
            if (line.starts_with(kPrefix)) {
                id = line.substr(kPrefix.size());
                return true;
            }
            start = end + 1;
        }
        return false;
    }

    std::vector<IncomingUnit>& m_out;
    xmlParserCtxtPtr m_ctxt = nullptr;
    std::string m_error;
    bool m_sawRoot = false;
    bool m_header = false;  // converted from PO
    int m_depth = 0;
    int m_ignoreDepth = 0;
    int m_unitDepth = 0;
    int m_pluralDepth = 0;
    bool m_skipUnit = false;
    std::vector<bool> m_groups;
    std::vector<UnitDraft> m_drafts;
    UnitDraft m_draft;
    std::string* m_capture = nullptr;
    int m_captureDepth = 0;
};

}  // namespace

Status ExportXliff(const TranslationTable& table, const ExportOptions& options, ByteSink& sink) {
    const EntryKeys keys(table);
    const size_t n = table.Count();
    std::string out;  // a piece of the file at a time
    out.reserve(2 * ByteSink::kPiece);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xliff version=\"1.2\" xmlns=\"";
    out += kXliff12;
    out += "\" xmlns:qm=\"";
    out += kQuillmereXmlNamespace;
    out += "\">\n <file";
    AppendAttribute(out, "original", options.originalName);
    AppendAttribute(out, "source-language", options.sourceLanguage);
    AppendAttribute(out, "target-language", options.targetLanguage);
    out += " datatype=\"plaintext\">\n  <body>\n";
    std::string s1, s2, s3, s4;
    for (size_t i = 0; i < n; ++i) {
        const std::string_view groupName = table.GroupName(i, s1);
        const std::string_view groupId = table.OriginalCell(i, ColGroupId);
        const std::string_view original = table.Original(i, s2);
        const EntryStatus status = table.StatusAt(i);
        const std::string_view translation =
            status == EntryStatus::Translated ? table.Translation(i, s3) : std::string_view();
        for (const std::string_view text : {keys.GlobalId(i), groupName, original, translation}) {
            if (const std::string bad = FirstNonXmlCharacter(text); !bad.empty())
                return Status::Error("Entry " + std::to_string(i + 1) + " (Global ID \"" +
                                     std::string(keys.GlobalId(i)) + "\") holds the character " + bad +
                                     ", which XLIFF (XML 1.0) cannot carry.");
        }
        s4 = keys.UnitId(i);
        out += "   <trans-unit";
        AppendAttribute(out, "id", s4);
        AppendAttribute(out, "resname", keys.GlobalId(i));
        AppendAttribute(out, "qm:group-name", groupName);
        AppendAttribute(out, "qm:group-id", groupId);
        out += " xml:space=\"preserve\">\n    <source>";
        AppendEscaped(out, original, false);
        out += status == EntryStatus::Translated ? "</source>\n    <target state=\"translated\">"
                                                 : "</source>\n    <target state=\"needs-translation\">";
        AppendEscaped(out, translation, false);
        out += "</target>\n   </trans-unit>\n";
        if (out.size() >= ByteSink::kPiece) {
            sink.Write(out);
            out.clear();
        }
    }
    out += "  </body>\n </file>\n</xliff>\n";
    sink.Write(out);
    return Status::Ok();
}

Status ReadXliff(std::string_view bytes, std::vector<IncomingUnit>& units) {
    std::vector<IncomingUnit> read;
    XliffReader reader(read);
    if (Status s = reader.Parse(bytes); !s) return s;
    units = std::move(read);
    return Status::Ok();
}
