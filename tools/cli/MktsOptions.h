#pragma once

#include <string>
#include <vector>

#include "StreamSpec.h"

struct MktsOptions {
    StreamSpec plan;
    std::string output;
    bool help = false;
};

// Reads insigno-mkts's command line (without the program name). Throws std::invalid_argument
// with a message for the user when an option or a value is wrong.
MktsOptions ParseMktsArguments(const std::vector<std::string>& args);

extern const char kMktsUsage[];
