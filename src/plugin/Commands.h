#pragma once

#include <map>
#include <string>

#include "HostProtocol.h"
#include "WindowAsChild.h"

// The commands the user can put on keys and remote-control buttons.
enum CommandId : INT { COMMAND_SHOW_LOGO = 1, COMMAND_TOGGLE_LOGO = 2 };

// The records message 53 registers; they and their texts live as long as the module.
const TVTest::CommandRecord* CommandRecords();
int CommandCount();

// The overlay's size, place and display time from the settings' values (after the defaults).
OverlayLook LookOf(const std::map<std::string, std::string>& values);
