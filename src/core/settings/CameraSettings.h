// The one record of everything the wizard knows about the selected camera and
// about this PC. Plain data: fixed-width NUL-terminated 8-bit text fields, byte
// flags and 32-bit numbers, laid out in the order the camera pages fill them.
#pragma once

#include <cstdint>

namespace orvanta {

struct CameraSettings {
    // Selected camera.
    uint8_t Loaded;
    uint32_t CamAddr;  // network byte order
    uint32_t CamMask;  // network byte order
    uint8_t CamMAC[6];
    char CamSerial[260];
    uint8_t CamWirelessIf;
    char CamPort[8];
    char CamIP[64];

    // Connection and scan state.
    uint8_t KeepConnecting;
    uint8_t APScanOK;
    uint32_t APCount;
    uint8_t WPSState;
    uint8_t WPSAck;

    // Wired network.
    uint8_t IPType;  // 0 DHCP, 1 fixed, 2 PPPoE
    char IPAddr[64];
    char Netmask[64];
    char Gateway[64];
    char DNS1[64];
    char DNS2[64];
    char PAccount[64];
    char PPwd[64];
    char PVP[64];

    // Wireless.
    uint8_t Wireless;
    uint8_t WireType;  // 1 infrastructure, 0 ad hoc
    char SSID[64];
    uint8_t WireCh;
    uint8_t ChType;
    uint8_t WireSec;  // 0 none, 1 WEP, 2 WPA-PSK, 3 WPA2-PSK
    char TxRate[64];
    uint8_t WIPType;  // 0 DHCP, 1 fixed
    char WIPAddr[64];
    char WNetmask[64];
    char WGateway[64];
    char WDNS1[64];
    char WDNS2[64];
    uint8_t WPAEnc;  // 0 AES (also TKIP/AES), 1 TKIP
    uint8_t WPAPSKeyM;
    char WPAKey[256];
    uint8_t WEPAuthM;  // 0 open, 1 shared
    uint8_t WEPMode;   // 0 hexadecimal, 1 ASCII
    uint8_t WEPKeyE0;  // key in use, 0..3
    uint8_t WepKeyL;
    char WEPKey0[256];
    char WEPKey1[256];
    char WEPKey2[256];
    char WEPKey3[256];

    // User choices.
    uint8_t WizardMode;
    uint8_t UseWPS;
    uint8_t NewEnvironment;
    uint8_t LinkWireless;
    uint8_t LinkPPPoE;
    uint8_t StartSearch;
    uint8_t StartSetup;
    uint8_t StartUpgrade;

    // This PC.
    char HostIP[64];
    char HostMask[64];
    char HostGateway[64];
    char HostDNS[64];
    uint32_t HostIfIndex;
    char DialUser[64];
    char DialPassword[64];
    uint8_t HostDialUp;
    uint8_t HostAdapterFound;
    uint8_t HostWireless;
    uint8_t HostDHCP;
    uint8_t internetReachable;
    uint8_t HostNoAddress;

    // System information.
    uint8_t SECUEN;
    char ModelName[32];
    char TitleBar[64];
    char Desp[64];

    // Capabilities.
    uint8_t HasWPS;
    uint8_t HasWireless;
    uint8_t Transversal;

    // DDNS.
    uint8_t DDNS;
    char DDNSSrv[64];
    char DDNSHost[256];
    char DDNSUser[64];
    char DDNSPwd[64];

    // Time.
    uint8_t NTPEN;
    char NTPName[256];
    int32_t Timezone;
    int32_t NTPPoll;
    char Date[16];
    char Time[16];

    // Ports.
    uint8_t UPnPE;
    int32_t HttpPort;
    int32_t RTPPort;
    int32_t RTSPPort;

    // Firmware.
    char Version[16];

    // NAT status.
    uint8_t NATStat;
    char ExtIPAddr[256];
    int32_t ExtHttpPort;

    // Credentials for HTTP Basic authentication.
    char User[64];
    char Password[64];

    // Zero-filled, KeepConnecting = 1: the state of a freshly started wizard.
    CameraSettings();
};

}  // namespace orvanta
