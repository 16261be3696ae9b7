// Forgetting all state between tests, one function per part.
#pragma once

namespace insigno::platform {

void ResetUserState();
void ClearMessageBoxRecords();
void ResetDirect3DState();

}  // namespace insigno::platform
