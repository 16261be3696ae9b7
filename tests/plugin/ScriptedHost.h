#pragma once

#include <mutex>
#include <optional>
#include <vector>

#include "HostProtocol.h"

// A viewer that answers the plug-in's messages from a table and records every call. Safe to
// call from several threads, as the real viewer's message function is.
class ScriptedHost {
public:
    struct Call {
        UINT message;
        LPARAM lParam1;
        LPARAM lParam2;
        DWORD sizeField;  // the record's size field as the plug-in set it; 0 without a record
        bool operator==(const Call&) const = default;
    };

    ScriptedHost();
    ScriptedHost(const ScriptedHost&) = delete;
    ScriptedHost& operator=(const ScriptedHost&) = delete;

    static TVTest::ChannelRecord Channel(int number, WORD networkId, WORD serviceId);

    TVTest::HostParam param{};

    // The answers; change them under Lock() while other threads may call.
    int tuningSpace = 0;
    std::vector<TVTest::ChannelRecord> channels;   // message 9, by index
    std::optional<TVTest::ChannelRecord> current;  // message 4
    LRESULT serviceIndex = -1;                     // message 6
    std::optional<WORD> serviceId;                 // message 10 (any index)
    LRESULT zoom = 0;                              // message 18
    std::optional<std::pair<int, int>> aspect;     // message 20
    bool fullScreen = false;                       // message 29

    // What the plug-in registered with messages 3 and 41 (copied, as the viewer must).
    TVTest::EventCallbackFunc eventCallback = nullptr;
    void* eventClientData = nullptr;
    std::optional<TVTest::StreamCallbackInfo> streamCallback;

    std::vector<Call> Calls();
    std::vector<UINT> Messages();
    void ClearCalls();
    std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(mutex); }

private:
    static LRESULT CALLBACK MessageCallback(TVTest::HostParam* param, UINT message, LPARAM lParam1,
                                            LPARAM lParam2);
    LRESULT Answer(UINT message, LPARAM lParam1, LPARAM lParam2);

    std::mutex mutex;
    std::vector<Call> calls;
};
