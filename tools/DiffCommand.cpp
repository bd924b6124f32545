// txrtool diff: a document as plain lines, one an entry, for version control's text view of a
// file: entries appear under their Global IDs with the Group IDs a read gives them, so that a
// change shows as the changed entry and not as renumbered lines.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "document/ListBoxSafe.h"
#include "document/format/ResourceTable.h"
#include "document/model/Document.h"
#include "tools/CommandLine.h"
#include "tools/Commands.h"

namespace {

constexpr const char* kDiffHelp =
    "Usage: txrtool diff FILE\n"
    "Prints a .txr (or a .txl on its own) as text: a line with the last Global ID, a line with the\n"
    "group names, then one line an entry:\n"
    "  GlobalID [GroupName#GroupID] Text\n"
    "with the Group IDs that reading the file gives. Latin-1 files are printed as UTF-8.\n"
    "For git: git config diff.txr.textconv \"txrtool diff\" and \"*.txr diff=txr\" in .gitattributes.\n"
    "Exit status: 0 done, 2 FILE could not be read, 64 bad usage.\n";

}  // namespace

int RunDiffCommand(int argc, char** argv) {
    CommandLine cli("diff", kDiffHelp);
    std::vector<std::string> files;
    cli.Operands(files, {"FILE"}, 0);
    if (const auto exit = cli.Parse(argc, argv)) return *exit;
    const std::string& file = files[0];

    Document doc;
    if (Status s = doc.Read(file, std::string(), ModeOpen); !s) return cli.Fail(s.message());
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
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0)
        return cli.Fail(std::string("cannot write the output: ") + std::strerror(errno));
    return kExitDone;
}
