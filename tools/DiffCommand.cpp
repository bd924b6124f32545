// txrtool diff: a document as plain lines, one an entry, for version control's text view of a
// file: entries appear under their Global IDs with the Group IDs a read gives them, so that a
// change shows as the changed entry and not as renumbered lines.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "document/ListBoxSafe.h"
#include "document/format/ResourceTable.h"
#include "document/model/Document.h"
#include "tools/Commands.h"

namespace {

constexpr const char* kDiffHelp =
    "Usage: txrtool diff FILE\n"
    "Prints a .txr (or a .txl on its own) as text: a line with the last Global ID, a line with the\n"
    "group names, then one line an entry:\n"
    "  GlobalID [GroupName#GroupID] Text\n"
    "with the Group IDs that reading the file gives. Latin-1 files are printed as UTF-8.\n"
    "For git: git config diff.txr.textconv \"txrtool diff\" and \"*.txr diff=txr\" in .gitattributes.\n";

}  // namespace

int RunDiffCommand(int argc, char** argv) {
    std::string file;
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") {
            std::fputs(kDiffHelp, stdout);
            return 0;
        }
        if (arg.size() > 1 && arg[0] == '-' && arg != "--") {
            std::fprintf(stderr, "txrtool: unknown option '%s'\n%s", argv[i], kDiffHelp);
            return 1;
        }
        if (arg == "--") continue;
        file = arg;
        ++files;
    }
    if (files != 1) {
        std::fprintf(stderr, "txrtool: %s\n%s", files ? "diff takes one FILE" : "missing FILE", kDiffHelp);
        return 1;
    }

    Document doc;
    if (Status s = doc.Read(file, std::string(), ModeOpen); !s) {
        std::fprintf(stderr, "txrtool: %s\n", s.message().c_str());
        return 2;
    }
    const ResourceTable& store = doc.Rows();
    const Encoding encoding = doc.FileEncoding(DocFile::Txr);
    std::string out = "Last Global ID: " + std::to_string(store.GetLastGlobalId()) + "\nGroups:";
    const char* separator = " ";
    for (const GroupNode* g = store.Groups().head(); g; g = g->next) {
        out += separator + ToUtf8(g->name, encoding);
        separator = " | ";
    }
    out += '\n';
    const int rows = store.GetRowCount();
    for (int r = 0; r < rows; ++r) {
        out += ToUtf8(store.Cell(r, ColGlobalId), encoding);
        out += " [";
        out += ToUtf8(store.Cell(r, ColGroupName), encoding);
        out += '#';
        out += store.Cell(r, ColGroupId);
        out += "] ";
        out += ToUtf8(store.Cell(r, ColText), encoding);
        out += '\n';
    }
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "txrtool: cannot write the output: %s\n", std::strerror(errno));
        return 2;
    }
    return 0;
}
