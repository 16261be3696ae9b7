#pragma once

#include "HostProtocol.h"

// The commands the user can put on keys and remote-control buttons.
enum CommandId : INT { COMMAND_SHOW_LOGO = 1, COMMAND_TOGGLE_LOGO = 2 };

// The records message 53 registers; they and their texts live as long as the module.
const TVTest::CommandRecord* CommandRecords();
int CommandCount();
