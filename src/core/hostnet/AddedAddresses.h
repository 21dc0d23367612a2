// The aliases this wizard added to the PC's adapter (addedAddressContexts and
// their count), mirrored into a small state file so that a wizard that died
// without cleaning up has them removed at its next start (RemoveStaleAliases).
//
// An alias is written to the file *before* it is added (as pending) so that a
// crash between the kernel call and the bookkeeping cannot leak it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/hostnet/HostNetwork.h"

namespace orvanta::hostnet {

class AddedAddresses {
public:
    // stateFile empty: keep the list in memory only (tests, tools).
    explicit AddedAddresses(std::string stateFile = DefaultStateFile());

    // $XDG_RUNTIME_DIR/orvanta/aliases, or /tmp/orvanta-<uid>/aliases (see
    // RuntimeFolder).
    static std::string DefaultStateFile();

    void SetPending(const AliasContext& alias);
    void ClearPending();
    // The pending alias was added and checked: it joins the list.
    void Commit(const AliasContext& alias);

    const std::vector<AliasContext>& Contexts() const { return contexts_; }
    std::size_t Count() const { return count_; }
    const std::string& StateFile() const { return stateFile_; }

    // Everything was removed: empties the list and deletes the state file.
    void Clear();

    // A record is never longer than this: the helper lets a PC hold only a
    // few aliases at once. Load reads no further, so a huge or endless file
    // cannot slow the start.
    static constexpr std::size_t kMaxRecordedAliases = 16;
    static constexpr std::size_t kMaxRecordBytes = 4096;

    // Reads a state file left behind: every alias it names (pending ones too),
    // up to the caps above. Aliases on an interface that no longer exists are
    // dropped.
    static std::vector<AliasContext> Load(const std::string& stateFile);

private:
    void Save() const;

    std::string stateFile_;
    std::vector<AliasContext> contexts_;
    std::size_t count_ = 0;
    std::optional<AliasContext> pending_;
};

}  // namespace orvanta::hostnet
