#include <insigno/platform_test.h>

#include "Resets.h"

void InsignoPlatform_Reset() {
    insigno::platform::ResetUserState();
    insigno::platform::ClearMessageBoxRecords();
    insigno::platform::ResetDirect3DState();
}
