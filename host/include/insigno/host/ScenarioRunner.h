#pragma once

#include "insigno/host/Host.h"
#include "insigno/host/Report.h"
#include "insigno/host/Scenario.h"

namespace insigno::host {

// The host options a scenario gives; `module` and `workDir` must be set by then.
HostOptions OptionsFor(const Scenario& scenario);

// Loads and initialises the module, runs the steps on the calling thread (the viewer's UI
// thread), then finalises and unloads. Returns 0 when every step did what it asked, 1 when a
// wait timed out or a snapshot could not be written, 2 when the module could not be loaded.
int RunScenario(const Scenario& scenario, Host& host, Report& report);

}  // namespace insigno::host
