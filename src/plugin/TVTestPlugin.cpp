#include "TVTestPlugin.h"

namespace TVTest {

LRESULT CTVTestEventHandler::DispatchEvent(UINT event, LPARAM lParam1, LPARAM lParam2,
                                           void* client) {
    clientData = client;
    const bool flag1 = lParam1 != 0;
    bool result = false;
    switch (event) {
        case EVENT_PLUGIN_ENABLE:
            result = OnPluginEnable(flag1);
            break;
        case EVENT_PLUGIN_SETTINGS:
            result = OnPluginSettings(lParam1);
            break;
        case EVENT_CHANNEL_CHANGE:
            result = OnChannelChange();
            break;
        case EVENT_SERVICE_CHANGE:
            result = OnServiceChange();
            break;
        case EVENT_DRIVER_CHANGE:
            result = OnDriverChange();
            break;
        case EVENT_SERVICE_UPDATE:
            result = OnServiceUpdate();
            break;
        case EVENT_UNUSED_6:
            result = OnUnusedEvent6(lParam1);
            break;
        case EVENT_UNUSED_7:
            result = OnUnusedEvent7(flag1);
            break;
        case EVENT_PREVIEW_CHANGE:
            result = OnPreviewChange(flag1);
            break;
        case EVENT_UNUSED_9:
            result = OnUnusedEvent9(lParam1, lParam2 != 0);
            break;
        case EVENT_UNUSED_10:
            result = OnUnusedEvent10(lParam1);
            break;
        case EVENT_UNUSED_11:
            result = OnUnusedEvent11();
            break;
        case EVENT_UNUSED_12:
            result = OnUnusedEvent12(flag1);
            break;
        case EVENT_COMMAND:
            result = OnCommand(lParam1);
            break;
        case EVENT_UNUSED_14:
            result = OnUnusedEvent14(lParam1);
            break;
        case EVENT_UNUSED_15:
            result = OnUnusedEvent15();
            break;
        case EVENT_UNUSED_16:
            result = OnUnusedEvent16();
            break;
        case EVENT_UNUSED_17:
            result = OnUnusedEvent17(lParam1);
            break;
        default:
            return 0;
    }
    return result ? 1 : 0;
}

}  // namespace TVTest
