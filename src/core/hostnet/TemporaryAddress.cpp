#include "core/hostnet/TemporaryAddress.h"

#include <cstdio>

#include "core/hostnet/HostPartCounter.h"
#include "core/hostnet/NetadminRequest.h"
#include "core/hostnet/NetworksInUse.h"
#include "core/base/Diagnostics.h"
#include "core/base/AddressText.h"

namespace orvanta::hostnet {

namespace {

// The add is only trusted once the address shows on an adapter: the kernel
// may have refused it silently, or something removed it during the wait.
bool AddressListed(HostNetwork& net, uint32_t address) {
    const AdapterList list = net.ListAdapters();
    // A listing that fails counts as a failed add; the walk goes on.
    if (!list.ok) return false;
    for (const auto& adapter : list.adapters)
        for (const auto& a : adapter.addresses)
            if (a.address == address) return true;
    return false;
}

enum class TryResult { Added, Failed, Hopeless };

TryResult TryCandidate(const AliasContext& alias, HostNetwork& net, AddedAddresses& added,
                       const AliasTiming& timing) {
    added.SetPending(alias);
    const AliasResult result = net.AddAlias(alias);
    if (IsHopeless(result.status)) {
        added.ClearPending();
        return TryResult::Hopeless;
    }
    bool duplicate = false;
    bool hopeless = false;
    // The helper probes before it adds: an owner it found is a duplicate
    // found, and the next candidate follows at once.
    const int waits = result.status == AliasStatus::Duplicate ? 0 : timing.settleWaits;
    for (int i = 0; i < waits; ++i) {
        if (!result.ok()) {
            net.Sleep(timing.settleWaitMs);
            continue;
        }
        const DuplicateCheck check = net.CheckDuplicate(alias.ifIndex, alias.address, timing.settleWaitMs);
        if (check.status == AliasStatus::Ok) continue;
        if (IsHopeless(check.status)) hopeless = true;
        duplicate = true;  // a failed check cannot vouch for the address either
        break;
    }
    if (result.ok() && !duplicate && AddressListed(net, alias.address)) {
        added.Commit(alias);
        return TryResult::Added;
    }
    if (result.ok()) net.RemoveAlias(alias);
    added.ClearPending();
    return hopeless ? TryResult::Hopeless : TryResult::Failed;
}

// One of our own addresses asked for again, naming another camera of its
// subnet: the helper routes that camera through it too.
bool RouteThrough(const AliasContext& ours, uint32_t camera, HostNetwork& net, std::string* why) {
    if (ours.camera == camera) return true;
    AliasContext again = ours;
    again.camera = camera;
    const AliasResult r = net.AddAlias(again);
    if (r.ok()) return true;
    Diagnostic("orvanta: route to %s through %s: %s", FormatIpv4(camera).c_str(), FormatIpv4(ours.address).c_str(),
               r.text.c_str());
    if (why) *why = r.text;
    return false;
}

}  // namespace

uint32_t AliasMask(uint32_t camAddr, uint32_t camMask) {
    const int block = PrivateBlockPrefix(camAddr);
    if (block < 0) return camMask;
    int prefix = MaskPrefix(camMask);
    if (prefix < 0) {
        // A mask with holes: its leading run of ones is the subnet we can use.
        prefix = 0;
        while (prefix < 32 && (camMask & PrefixMask(prefix + 1)) == PrefixMask(prefix + 1)) ++prefix;
    }
    return PrefixMask(prefix < block ? block : prefix);
}

uint32_t AddTemporaryAddress(uint32_t candidate, uint32_t mask, uint32_t ifIndex, HostNetwork& net,
                             AddedAddresses& added, const AliasTiming& timing, bool* ok, uint32_t camera) {
    if (ok) *ok = false;
    HostPartCounter counter(mask);
    for (;;) {
        const TryResult tried = TryCandidate({ifIndex, candidate, mask, camera}, net, added, timing);
        if (tried == TryResult::Added) {
            if (ok) *ok = true;
            return candidate;
        }
        // Another address cannot mend a missing capability or interface:
        // stop now rather than spend three seconds on every host of the subnet.
        if (tried == TryResult::Hopeless) return candidate;
        if (!counter.StepDown()) break;
        candidate = WithHostPart(candidate, mask, counter.Value());
    }
    // Every address was tried: the top host address goes on once more,
    // unchecked, so the camera is at least reachable when the duplicate was
    // only transient.
    candidate = WithHostPart(candidate, mask, counter.Start());
    const AliasContext alias{ifIndex, candidate, mask, camera};
    added.SetPending(alias);
    if (net.AddAlias(alias).ok()) {
        added.Commit(alias);
        if (ok) *ok = true;
    } else {
        added.ClearPending();
    }
    return candidate;
}

bool EnsureCameraSubnet(const CameraSettings& settings, HostNetwork& net, AddedAddresses& added,
                        const AliasTiming& timing, std::string* why) {
    const uint32_t mask = AliasMask(settings.CamAddr, settings.CamMask);
    const uint32_t top = TopHostAddress(settings.CamAddr, mask);
    const AdapterList list = net.ListAdapters();
    if (list.ok) {
        std::string card;
        for (const auto& adapter : list.adapters) {
            if (adapter.index != settings.HostIfIndex) continue;
            card = adapter.name;
            // The card the camera answered on is connected to its subnet
            // already: no address is needed, whatever mask the camera
            // reports (cameras say 0.0.0.0 too). An address of ours there
            // routes only the cameras it was asked for, so this one is asked
            // for as well.
            for (const auto& a : adapter.addresses) {
                if (a.mask == 0 || (settings.CamAddr & a.mask) != (a.address & a.mask)) continue;
                for (const auto& ours : added.Contexts())
                    if (ours.ifIndex == adapter.index && ours.address == a.address)
                        return RouteThrough(ours, settings.CamAddr, net, why);
                return true;
            }
        }
        // Every candidate lies in the one subnet, so one look judges them all.
        const int prefix = MaskPrefix(mask);
        if (std::string conflict = TemporaryAddressConflict(top, prefix, settings.HostIfIndex, NetworksInUse(list));
            !conflict.empty()) {
            Diagnostic("orvanta: add %s/%d on %s: %s", FormatIpv4(top).c_str(), prefix, card.c_str(), conflict.c_str());
            if (why) *why = std::move(conflict);
            return false;
        }
    }
    bool ok = false;
    AddTemporaryAddress(top, mask, settings.HostIfIndex, net, added, timing, &ok, settings.CamAddr);
    return ok;
}

void RemoveTemporaryAddresses(HostNetwork& net, AddedAddresses& added) {
    if (added.Count() == 0) return;
    for (const auto& alias : added.Contexts()) net.RemoveAlias(alias);
    added.Clear();
}

int RemoveStaleAliases(HostNetwork& net, const std::string& stateFile) {
    int removed = 0;
    bool retryLater = false;
    for (const auto& alias : AddedAddresses::Load(stateFile)) {
        const AliasResult r = net.RemoveAlias(alias);
        if (r.ok()) ++removed;
        // Gone already, or not ours: nothing left to do. Anything else (no
        // helper, no capability right now) may work at a later start, so the
        // record stays.
        else if (r.status != AliasStatus::NotFound && r.status != AliasStatus::Refused &&
                 r.status != AliasStatus::NoSuchInterface)
            retryLater = true;
    }
    if (!retryLater) std::remove(stateFile.c_str());
    return removed;
}

}  // namespace orvanta::hostnet
