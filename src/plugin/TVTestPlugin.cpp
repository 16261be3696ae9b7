#include "TVTestPlugin.h"

namespace TVTest {

LRESULT CTVTestEventHandler::DispatchEvent(UINT event, LPARAM lParam1, LPARAM lParam2,
                                           void* client) {
    clientData = client;
    const bool flag1 = lParam1 != 0;
    bool result = false;
    switch (event) {
        case 0:
            result = OnPluginEnable(flag1);
            break;
        case 1:
            result = OnEvent1(lParam1);
            break;
        case 2:
            result = OnChannelChange();
            break;
        case 3:
            result = OnServiceChange();
            break;
        case 4:
            result = OnDriverChange();
            break;
        case 5:
            result = OnServiceUpdate();
            break;
        case 6:
            result = OnEvent6(lParam1);
            break;
        case 7:
            result = OnEvent7(flag1);
            break;
        case 8:
            result = OnPreviewChange(flag1);
            break;
        case 9:
            result = OnEvent9(lParam1, lParam2 != 0);
            break;
        case 10:
            result = OnEvent10(lParam1);
            break;
        case 11:
            result = OnEvent11();
            break;
        case 12:
            result = OnEvent12(flag1);
            break;
        case 13:
            result = OnEvent13(lParam1);
            break;
        case 14:
            result = OnEvent14(lParam1);
            break;
        case 15:
            result = OnEvent15();
            break;
        case 16:
            result = OnEvent16();
            break;
        case 17:
            result = OnEvent17(lParam1);
            break;
        default:
            return 0;
    }
    return result ? 1 : 0;
}

}  // namespace TVTest
