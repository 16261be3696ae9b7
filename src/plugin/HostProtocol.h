#pragma once

// The viewer's plug-in protocol as both sides see it: the records exchanged, the message numbers
// the plug-in sends, the event codes the viewer delivers and the signatures of the callbacks and
// exports. The viewer stand-in includes this header too, so it holds no plug-in internals.
//
// Records use the platform's own types: the 32-bit build has exactly the viewer's binary layout
// (checked below); 64-bit builds get the natural widened layout of the same declarations.

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace TVTest {

struct HostParam;

// The viewer's message function: every request of the plug-in goes through it.
typedef LRESULT(CALLBACK* MessageCallbackFunc)(HostParam* param, UINT message, LPARAM lParam1,
                                               LPARAM lParam2);
// Registered with HOST_MSG_SET_EVENT_CALLBACK; delivers viewer events on the UI thread.
typedef LRESULT(CALLBACK* EventCallbackFunc)(UINT event, LPARAM lParam1, LPARAM lParam2,
                                             void* clientData);
// Registered with HOST_MSG_SET_STREAM_CALLBACK; `packet` addresses one 188-byte TS packet.
typedef BOOL(CALLBACK* StreamCallbackFunc)(BYTE* packet, void* clientData);

// The module's four exports, as the viewer resolves them.
typedef DWORD(WINAPI* GetVersionFunc)();
typedef BOOL(WINAPI* GetPluginInfoFunc)(struct PluginDescription* info);
typedef BOOL(WINAPI* InitializeFunc)(HostParam* param);
typedef BOOL(WINAPI* FinalizeFunc)();

// Owned by the viewer; the plug-in keeps the pointer for its whole life.
struct HostParam {
    MessageCallbackFunc messageCallback;
    HWND hostWindow;  // the viewer's main window
    void* hostData;   // the viewer's own; never read by the plug-in
};

// Filled by TVTGetPluginInfo; the strings are static constants of the module.
struct PluginDescription {
    DWORD type;
    DWORD flags;
    LPCWSTR name;
    LPCWSTR copyright;
    LPCWSTR description;
};

// Passed with HOST_MSG_SET_STREAM_CALLBACK; built on the stack, the viewer copies what it keeps.
struct StreamCallbackInfo {
    DWORD size;
    DWORD flags;
    StreamCallbackFunc callback;
    void* clientData;
};

// StreamCallbackInfo::flags: remove the callback instead of registering it.
constexpr DWORD STREAM_CALLBACK_REMOVE = 1;

// One channel of a tuning space. The plug-in sets `size` and reads only the named fields.
struct ChannelRecord {
    DWORD size;
    BYTE hostReserved1[4];
    INT channelNumber;
    BYTE hostReserved2[4];
    WORD networkId;  // original network id; 0 means none
    BYTE hostReserved3[264];
    WORD serviceId;
};

struct ServiceRecord {
    DWORD size;
    WORD serviceId;
    BYTE hostReserved[86];
};

struct AspectRecord {
    DWORD size;
    INT hostReserved;
    INT aspectX;  // 0 means unknown
    INT aspectY;  // 0 means unknown
};

// Filled by message 24: the video's own size and display aspect ratio.
struct VideoInfoRecord {
    DWORD size;
    INT width;
    INT height;
    INT aspectX;  // 0 means unknown
    INT aspectY;  // 0 means unknown
    INT sourceLeft;
    INT sourceTop;
    INT sourceRight;
    INT sourceBottom;
};

// One command of the plug-in, offered to the user's key assignment by message 53. The viewer's
// records are byte-packed: 12 bytes in 32-bit builds, 20 in 64-bit ones.
#pragma pack(push, 1)
struct CommandRecord {
    INT id;
    LPCWSTR text;  // a stable identifier
    LPCWSTR name;  // shown to the user
};
#pragma pack(pop)

// PluginDescription::flags: the plug-in has settings; the viewer then sends EVENT_PLUGIN_SETTINGS.
constexpr DWORD PLUGIN_FLAG_HAS_SETTINGS = 0x1;

constexpr DWORD CHANNEL_RECORD_SIZE = 284;
constexpr DWORD SERVICE_RECORD_SIZE = 92;
constexpr DWORD ASPECT_RECORD_SIZE = 16;
constexpr DWORD VIDEO_INFO_RECORD_SIZE = 36;

// Message numbers the plug-in sends (lParam1, lParam2 -> result).
constexpr UINT HOST_MSG_QUERY_MESSAGE = 1;         // message number, 0 -> nonzero: handled
constexpr UINT HOST_MSG_SET_EVENT_CALLBACK = 3;    // EventCallbackFunc (null removes), data
constexpr UINT HOST_MSG_GET_CURRENT_CHANNEL = 4;   // ChannelRecord*, 0 -> nonzero: filled
constexpr UINT HOST_MSG_GET_SERVICE = 6;           // 0, 0 -> current service index, <0 none
constexpr UINT HOST_MSG_GET_CHANNEL = 9;           // ChannelRecord*, index<<16|space -> nonzero
constexpr UINT HOST_MSG_GET_SERVICE_INFO = 10;     // service index, ServiceRecord* -> nonzero
constexpr UINT HOST_MSG_GET_ZOOM = 18;             // 0, 0 -> zoom in percent, 0 unknown
constexpr UINT HOST_MSG_GET_ASPECT = 20;           // AspectRecord*, 0 -> nonzero: filled
constexpr UINT HOST_MSG_GET_VIDEO_INFO = 24;       // VideoInfoRecord*, 0 -> nonzero: filled
constexpr UINT HOST_MSG_GET_FULLSCREEN = 29;       // 0, 0 -> nonzero while full screen
constexpr UINT HOST_MSG_SET_STREAM_CALLBACK = 41;  // StreamCallbackInfo*, 0 (flags 1 removes)
constexpr UINT HOST_MSG_GET_TUNING_SPACE = 47;     // 0, 0 -> low 16 bits: tuning space
constexpr UINT HOST_MSG_REGISTER_COMMAND = 53;     // CommandRecord array, count (initialisation)
// Key: network id in the low 16 bits, service id in the high 16 bits.
constexpr UINT HOST_MSG_GET_LOGO = 63;  // key, type 0-5 -> HBITMAP (DIB section, ours) or null
constexpr UINT HOST_MSG_GET_AVAILABLE_LOGO_TYPES = 64;  // key, 0 -> bit t: type t held

// Event codes the viewer delivers. The plug-in has no use for the codes named UNUSED, which
// reach only the base handlers.
constexpr UINT EVENT_PLUGIN_ENABLE = 0;    // lParam1: nonzero when enabled
constexpr UINT EVENT_PLUGIN_SETTINGS = 1;  // lParam1: the owner window; show settings modally
constexpr UINT EVENT_CHANNEL_CHANGE = 2;
constexpr UINT EVENT_SERVICE_CHANGE = 3;
constexpr UINT EVENT_DRIVER_CHANGE = 4;
constexpr UINT EVENT_SERVICE_UPDATE = 5;
constexpr UINT EVENT_UNUSED_6 = 6;
constexpr UINT EVENT_UNUSED_7 = 7;
constexpr UINT EVENT_PREVIEW_CHANGE = 8;  // lParam1: nonzero when the preview is on
constexpr UINT EVENT_UNUSED_9 = 9;
constexpr UINT EVENT_UNUSED_10 = 10;
constexpr UINT EVENT_UNUSED_11 = 11;
constexpr UINT EVENT_UNUSED_12 = 12;
constexpr UINT EVENT_COMMAND = 13;  // lParam1: the id of a registered command
constexpr UINT EVENT_UNUSED_14 = 14;
constexpr UINT EVENT_UNUSED_15 = 15;
constexpr UINT EVENT_UNUSED_16 = 16;
constexpr UINT EVENT_UNUSED_17 = 17;
constexpr UINT EVENT_LAST = EVENT_UNUSED_17;  // codes above never reach a handler

#if defined(_WIN32) && !defined(_WIN64)
// The viewer is a 32-bit program: these layouts are its binary interface.
static_assert(sizeof(HostParam) >= 8);
static_assert(offsetof(HostParam, messageCallback) == 0);
static_assert(offsetof(HostParam, hostWindow) == 4);

static_assert(sizeof(PluginDescription) == 20);
static_assert(offsetof(PluginDescription, type) == 0);
static_assert(offsetof(PluginDescription, flags) == 4);
static_assert(offsetof(PluginDescription, name) == 8);
static_assert(offsetof(PluginDescription, copyright) == 12);
static_assert(offsetof(PluginDescription, description) == 16);

static_assert(sizeof(StreamCallbackInfo) == 16);
static_assert(offsetof(StreamCallbackInfo, size) == 0);
static_assert(offsetof(StreamCallbackInfo, flags) == 4);
static_assert(offsetof(StreamCallbackInfo, callback) == 8);
static_assert(offsetof(StreamCallbackInfo, clientData) == 12);

static_assert(sizeof(CommandRecord) == 12);
static_assert(offsetof(CommandRecord, text) == 4);
static_assert(offsetof(CommandRecord, name) == 8);
#elif defined(_WIN64) || UINTPTR_MAX == UINT64_MAX
static_assert(sizeof(CommandRecord) == 20);
static_assert(offsetof(CommandRecord, text) == 4);
static_assert(offsetof(CommandRecord, name) == 12);
#endif

// These layouts hold no pointers, so they are the same in every build.
static_assert(sizeof(ChannelRecord) == CHANNEL_RECORD_SIZE);
static_assert(offsetof(ChannelRecord, size) == 0);
static_assert(offsetof(ChannelRecord, channelNumber) == 8);
static_assert(offsetof(ChannelRecord, networkId) == 16);
static_assert(offsetof(ChannelRecord, serviceId) == 282);

static_assert(sizeof(ServiceRecord) == SERVICE_RECORD_SIZE);
static_assert(offsetof(ServiceRecord, size) == 0);
static_assert(offsetof(ServiceRecord, serviceId) == 4);

static_assert(sizeof(AspectRecord) == ASPECT_RECORD_SIZE);
static_assert(offsetof(AspectRecord, size) == 0);
static_assert(offsetof(AspectRecord, aspectX) == 8);
static_assert(offsetof(AspectRecord, aspectY) == 12);

static_assert(sizeof(VideoInfoRecord) == VIDEO_INFO_RECORD_SIZE);
static_assert(offsetof(VideoInfoRecord, aspectX) == 12);
static_assert(offsetof(VideoInfoRecord, sourceLeft) == 20);

}  // namespace TVTest
