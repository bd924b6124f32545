#include "tools/CheckedDocument.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "document/review/EntryChecker.h"

Status CheckedDocument::Load(const std::string& txr, const std::string& txl, CheckMask enabled) {
    m_txr = txr;
    m_txl = txl;
    m_info = ReadInfo{};
    m_info.wantLines = true;
    if (Status s = m_doc.Read(txr, txl, txl.empty() ? ModeOpen : ModeOpenPaired, &m_info); !s) return s;
    if (!txl.empty() && !m_info.txlPresent) {
        const int fd = ::open(txl.c_str(), O_RDONLY | O_CLOEXEC);
        const int err = fd < 0 ? errno : EIO;
        if (fd >= 0) ::close(fd);
        return Status::Error("Cannot open \"" + txl + "\": " + std::strerror(err) + ".");
    }
    m_doc.SetLocalize(true);
    m_problems = EntryChecker(enabled).Run(Table());
    return Status::Ok();
}

const std::string& CheckedDocument::FileOf(int row) const {
    return !m_txl.empty() && (row & 1) ? m_txl : m_txr;
}
