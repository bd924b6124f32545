#pragma once
// One unit of a translation file being imported, as its reader found it (texts in UTF-8).
#include <cstddef>
#include <string>

struct IncomingUnit {
    enum class Kind {
        Translation,     // a unit to import
        Fuzzy,           // marked as needing review: imported only on request
        Plural,          // plural forms: not supported
        Unkeyed,         // no key this document could have given it
        InlineCode,      // its text holds markup (XLIFF <g>, <x/>, ...) a plain text cannot carry
        Targets,         // several translations (XLIFF <target>s) in one unit
        Untranslated,    // marked as not translated yet though it has a text (XLIFF state="new")
        NotToTranslate,  // marked as not to be translated (XLIFF translate="no")
    };
    Kind kind = Kind::Translation;
    std::string key;        // the Global ID it names
    std::string source;     // its original text, when hasSource
    std::string target;     // the translation; empty when none was given
    std::string code = {};  // for InlineCode: the first code's element name ("g", "x", ...)
    bool hasSource = false;
    size_t line = 0;  // where it starts in the file (1-based), for reports; 0 when unknown
};
