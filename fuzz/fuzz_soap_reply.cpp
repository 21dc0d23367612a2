// Any bytes as a camera's HTTP reply to a SOAP request: the HTTP reader
// (chunked and Content-Length bodies), the SOAP envelope and fault reader,
// and every Device and Media reply reader must stay bounded and never
// crash: the media, snapshot and firmware replies included. The Digest
// challenge parser gets the header values too.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/http/ReplyLength.h"
#include "core/onvif/device/DeviceReplies.h"
#include "core/onvif/device/FirmwareMessages.h"
#include "core/onvif/device/MediaReplies.h"
#include "core/onvif/device/SnapshotCalls.h"
#include "core/http/HttpDigest.h"
#include "core/http/HttpReply.h"
#include "core/onvif/soap/SoapReply.h"

using namespace orvanta;
using namespace orvanta::onvif;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view raw(reinterpret_cast<const char*>(data), size);
    // The transport asks where a (chunked) reply ends while it arrives.
    (void)orvanta::AnnouncedReplyLength(raw);
    HttpReply http;
    if (ParseHttpReply(raw, http) == HttpReplyState::Ok && http.body.size() > raw.size()) __builtin_trap();
    ParseDigestChallenges(http.Values("WWW-Authenticate"));
    // A body that is not HTTP is read as XML as well, so the XML side is
    // reached without the fuzzer first having to find a status line.
    SoapReply reply;
    const std::string_view body = http.status ? std::string_view(http.body) : raw;
    if (!ReadSoapReply(body, reply).ok() || !reply.body) return 0;
    CameraDateTime clock;
    OnvifDeviceState state;
    std::vector<NetworkInterfaceInfo> nics;
    std::vector<std::string> list;
    std::vector<OnvifUser> users;
    std::string text;
    bool flag = false;
    ReadSystemDateAndTime(reply.body, clock);
    ReadDeviceInformation(reply.body, state);
    ReadNetworkInterfaces(reply.body, nics);
    MainInterface(nics);
    ReadDefaultGateway(reply.body, text);
    ReadDns(reply.body, list);
    ReadNtp(reply.body, list);
    ReadHostname(reply.body, text);
    ReadEndpointReference(reply.body, text);
    ReadUsers(reply.body, users);
    ReadRebootNeeded(reply.body, flag);
    ReadMediaAddressFromServices(reply.body, text);
    ReadMediaAddressFromCapabilities(reply.body, text);
    ReadProfileTokens(reply.body, list);
    ReadStreamUri(reply.body, text);
    // Media2: the same facts in other elements.
    MediaServices media;
    ReadMediaServices(reply.body, media);
    ReadProfileTokens(reply.body, list, true);
    ReadStreamUri(reply.body, text, true);
    // Profiles with their encoders, the encoders' options, the snapshot
    // address and the firmware replies, in both media dialects.
    for (const bool media2 : {false, true}) {
        std::vector<OnvifProfile> profiles;
        ReadProfiles(reply.body, profiles, media2);
        OnvifEncoderOptions options;
        ReadEncoderOptions(reply.body, options, media2);
        ReadSnapshotUri(reply.body, text, media2);
    }
    FirmwareUploadOffer offer;
    ReadStartFirmwareUpgrade(reply.body, offer);
    ReadUpgradeSystemFirmware(reply.body, text);
    (void)ParseXsDuration(reply.body.child_value());
    return 0;
}
