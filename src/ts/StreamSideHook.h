#pragma once

class StreamCallbackManager;

#ifdef INSIGNO_STREAM_HOOKS
// Test seam: called on the stream thread after a table stage has taken a packet of its PID and
// before it takes the manager's mutex, where a SetTarget from the event thread may slip in. Null
// unless a test sets it.
extern void (*streamStageHook)(StreamCallbackManager& manager);
#endif
