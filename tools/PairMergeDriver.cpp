#include "tools/PairMergeDriver.h"

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "document/ListBoxSafe.h"
#include "document/format/ResourceTable.h"
#include "document/model/Document.h"

extern char** environ;

namespace {

std::string ShellQuoted(const std::string& s) {
    std::string out = "'";
    for (const char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Runs a git command; its standard output, or nullopt when it fails.
std::optional<std::string> Git(const std::string& args) {
    FILE* p = ::popen(("git " + args + " 2>/dev/null").c_str(), "r");
    if (!p) return std::nullopt;
    std::string out;
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
    const int status = ::pclose(p);
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return out;
}

std::string Trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    return s;
}

std::optional<std::string> FileBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return std::nullopt;
    std::ostringstream bytes;
    bytes << f.rdbuf();
    return bytes.str();
}

// The commit the merge takes in: git names it in the environment of the driver as
// GITHEAD_<commit>=<name>. Empty unless there is exactly one.
std::string TheirCommit() {
    std::string found;
    int count = 0;
    for (char** e = environ; *e; ++e) {
        const std::string_view var = *e;
        if (!var.starts_with("GITHEAD_")) continue;
        const size_t eq = var.find('=');
        found = std::string(var.substr(8, eq - 8));
        ++count;
    }
    return count == 1 ? found : std::string();
}

// A file's versions as git keeps them: nullopt where the version has no such file.
struct Versions {
    std::optional<std::string> bytes[3];  // base, ours, theirs
};

// A text resource file read from bytes as Open reads it (through a temporary file: the reader
// reads files); no bytes give an empty document.
class TempTable {
public:
    Status Read(const std::string& bytes) {
        char name[] = "/tmp/txrtool-merge-XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd < 0) return Status::Error("Cannot create a temporary file for the merge.");
        bool ok = true;
        for (size_t done = 0; ok && done < bytes.size();) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            ok = n > 0;
            if (ok) done += static_cast<size_t>(n);
        }
        ::close(fd);
        Status s = ok ? Status::Ok() : Status::Error("Cannot write a temporary file for the merge.");
        if (s && !bytes.empty()) s = doc.Read(name, std::string(), ModeOpen);
        ::unlink(name);
        return s;
    }
    Document doc;
};

// The rows that decide the pairing: Global ID, Group Name, Text.
bool SameEntries(const ResourceTable& a, const ResourceTable& b, std::vector<std::string>& differing) {
    const int rows = std::max(a.GetRowCount(), b.GetRowCount());
    for (int r = 0; r < rows; ++r) {
        const bool inA = r < a.GetRowCount(), inB = r < b.GetRowCount();
        if (inA && inB && a.Cell(r, ColGlobalId) == b.Cell(r, ColGlobalId) &&
            a.Cell(r, ColGroupName) == b.Cell(r, ColGroupName) && a.Cell(r, ColText) == b.Cell(r, ColText))
            continue;
        if (differing.size() < 20)
            differing.emplace_back(inA ? a.Cell(r, ColGlobalId) : b.Cell(r, ColGlobalId));
    }
    return differing.empty();
}

}  // namespace

std::string PairMergeDriver::Companion(const std::string& path) {
    const bool txr = path.ends_with(".txr"), txl = path.ends_with(".txl");
    if (!txr && !txl) return {};
    return path.substr(0, path.find('.') + 1) + (txr ? "txl" : "txr");
}

Status PairMergeDriver::Merge(const std::string& basePath, const std::string& oursPath,
                              const std::string& theirsPath, const std::string& path,
                              const std::string& outPath, TextResourceMerge::Outcome& outcome) {
    const std::string companion = Companion(path);
    if (companion.empty())
        return TextResourceMerge::MergeFiles(basePath, oursPath, theirsPath, outPath, outcome);

    // The three commits, and both files' versions in them.
    const std::string theirs = TheirCommit();
    std::optional<std::string> bases;
    if (!theirs.empty()) bases = Git("merge-base --all HEAD " + ShellQuoted(theirs));
    const std::string base = bases ? Trimmed(*bases) : std::string();
    const bool found = !base.empty() && base.find('\n') == std::string::npos;
    Versions own, other;
    const std::string commits[] = {base, "HEAD", theirs};
    if (found) {
        for (int i = 0; i < 3; ++i) {
            own.bytes[i] = Git("cat-file blob " + ShellQuoted(commits[i] + ":" + path));
            other.bytes[i] = Git("cat-file blob " + ShellQuoted(commits[i] + ":" + companion));
        }
    }
    // The files git handed over must be those versions (a renamed file, or a merge base git
    // made up from several, is not).
    bool same = found;
    const std::string* given[] = {&basePath, &oursPath, &theirsPath};
    for (int i = 0; i < 3 && same; ++i) {
        const std::optional<std::string> bytes = FileBytes(*given[i]);
        same = bytes && (own.bytes[i] ? *bytes == *own.bytes[i] : i == 0 && bytes->empty());
    }
    const bool hasCompanion = other.bytes[0] || other.bytes[1] || other.bytes[2];
    if (!same || !hasCompanion) {
        Status s = TextResourceMerge::MergeFiles(basePath, oursPath, theirsPath, outPath, outcome);
        if (s && !same && ::access(companion.c_str(), F_OK) == 0)
            outcome.conflicts.push_back("the versions of \"" + companion +
                                        "\" could not be found, so the pair was not merged as one: check "
                                        "that every translation is beside its original");
        return s;
    }

    const bool isTxr = path.ends_with(".txr");
    TempTable tables[2][3];  // [own, other][base, ours, theirs]
    for (int i = 0; i < 3; ++i) {
        if (Status s = tables[0][i].Read(own.bytes[i].value_or(std::string())); !s) return s;
        if (Status s = tables[1][i].Read(other.bytes[i].value_or(std::string())); !s) return s;
    }
    const Document* originals[3];
    const Document* translations[3];
    for (int i = 0; i < 3; ++i) {
        const TempTable& txr = tables[isTxr ? 0 : 1][i];
        const TempTable& txl = tables[isTxr ? 1 : 0][i];
        const bool txlExists = isTxr ? other.bytes[i].has_value() : own.bytes[i].has_value();
        originals[i] = &txr.doc;
        translations[i] = txlExists ? &txl.doc : nullptr;
    }
    ResourceTable merged[2];  // .txr, .txl
    TextResourceMerge::Outcome result;
    if (Status s = TextResourceMerge::MergePair(originals, translations, merged[0], merged[1], result); !s)
        return s;

    // A companion only one side changed (or neither, or both alike) is taken by git as it is.
    const std::optional<std::string>& cb = other.bytes[0];
    const std::optional<std::string>& co = other.bytes[1];
    const std::optional<std::string>& ct = other.bytes[2];
    std::optional<int> taken;  // the version git takes: ours (1) or theirs (2)
    if (co == ct || ct == cb)
        taken = 1;
    else if (co == cb)
        taken = 2;
    if (taken) {
        const ResourceTable& mergedOther = merged[isTxr ? 1 : 0];
        std::vector<std::string> differing;
        if (!SameEntries(tables[1][*taken].doc.Rows(), mergedOther, differing)) {
            std::string ids;
            for (const std::string& id : differing) ids += (ids.empty() ? "" : ", ") + id;
            result.conflicts.push_back("\"" + companion +
                                       "\" changed on one side only and is taken as it is, " +
                                       "but the merged pair needs other lines there for Global IDs " + ids +
                                       ": merge the pair in the editor");
        }
    }
    if (Status s = WriteTextResourceFile(merged[isTxr ? 0 : 1], outPath); !s) return s;
    outcome = std::move(result);
    return Status::Ok();
}
