#include "core/hostnet/AddedAddresses.h"

#include <fcntl.h>
#include <net/if.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/base/AddressText.h"
#include "core/hostnet/RuntimeFolder.h"
#include "core/base/Diagnostics.h"

namespace orvanta::hostnet {

namespace {

// One line per alias: "<ifname> <a.b.c.d>/<prefix>". The interface is kept by
// name because an index does not survive the interface being re-created.
std::string Line(const AliasContext& alias) {
    char name[IF_NAMESIZE] = {};
    if (!if_indextoname(alias.ifIndex, name)) return {};
    return std::string(name) + " " + FormatIpv4(alias.address) + "/" + std::to_string(MaskPrefix(alias.mask));
}

// The record's first bytes, read without blocking (a FIFO planted in its
// place must not stall start-up) and only from a regular file of ours.
std::string ReadRecord(const std::string& file) {
    const int fd = open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return {};
    std::string text;
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == getuid()) {
        text.resize(AddedAddresses::kMaxRecordBytes);
        std::size_t got = 0;
        while (got < text.size()) {
            const ssize_t n = read(fd, text.data() + got, text.size() - got);
            if (n <= 0) break;
            got += std::size_t(n);
        }
        text.resize(got);
    }
    close(fd);
    return text;
}

std::string Folder(const std::string& file) {
    const auto slash = file.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string(slash == 0 ? "/" : ".") : file.substr(0, slash);
}

}  // namespace

AddedAddresses::AddedAddresses(std::string stateFile) : stateFile_(std::move(stateFile)) {}

std::string AddedAddresses::DefaultStateFile() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return std::string(runtime) + "/orvanta/aliases";
    return RuntimeFolder() + "/aliases";
}

void AddedAddresses::SetPending(const AliasContext& alias) {
    pending_ = alias;
    Save();
}

void AddedAddresses::ClearPending() {
    pending_.reset();
    Save();
}

void AddedAddresses::Commit(const AliasContext& alias) {
    pending_.reset();
    contexts_.push_back(alias);
    ++count_;
    Save();
}

void AddedAddresses::Clear() {
    contexts_.clear();
    count_ = 0;
    pending_.reset();
    if (!stateFile_.empty()) std::remove(stateFile_.c_str());
}

void AddedAddresses::Save() const {
    if (stateFile_.empty()) return;
    if (contexts_.empty() && !pending_) {
        std::remove(stateFile_.c_str());
        return;
    }
    if (const std::string why = MakePrivateFolder(Folder(stateFile_)); !why.empty()) {
        Diagnostic("orvanta: %s is not a private folder (%s); aliases are not recorded",
                   Folder(stateFile_).c_str(), why.c_str());
        return;
    }
    // Written beside and renamed over, so a crash mid-write leaves the old
    // list rather than half a line.
    const std::string temp = stateFile_ + ".new";
    {
        std::ofstream out(temp, std::ios::trunc);
        if (!out) {
            Diagnostic("orvanta: cannot write %s", temp.c_str());
            return;
        }
        for (const auto& alias : contexts_) out << Line(alias) << '\n';
        if (pending_) out << Line(*pending_) << '\n';
    }
    if (std::rename(temp.c_str(), stateFile_.c_str()) != 0)
        Diagnostic("orvanta: cannot write %s", stateFile_.c_str());
}

std::vector<AliasContext> AddedAddresses::Load(const std::string& stateFile) {
    std::vector<AliasContext> result;
    struct stat dir;
    if (lstat(Folder(stateFile).c_str(), &dir) != 0 || dir.st_uid != getuid() || (dir.st_mode & 0022) != 0)
        return result;
    std::istringstream in(ReadRecord(stateFile));
    std::string line;
    while (result.size() < kMaxRecordedAliases && std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name, cidr;
        if (!(fields >> name >> cidr)) continue;
        const auto slash = cidr.find('/');
        if (slash == std::string::npos) continue;
        AliasContext alias;
        const std::string prefixText = cidr.substr(slash + 1);
        if (!ParseIpv4(cidr.substr(0, slash), alias.address)) continue;
        if (prefixText.empty() || prefixText.size() > 2 ||
            prefixText.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const int prefix = std::atoi(prefixText.c_str());
        if (prefix > 32) continue;
        alias.mask = PrefixMask(prefix);
        alias.ifIndex = if_nametoindex(name.c_str());
        if (alias.ifIndex == 0) continue;
        result.push_back(alias);
    }
    return result;
}

}  // namespace orvanta::hostnet
