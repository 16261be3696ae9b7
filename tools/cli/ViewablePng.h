#pragma once

#include <filesystem>
#include <string>

#include "LogoRecord.h"

// Writes the logo as DIRECTORY/NAME.png with the fixed broadcast palette inserted, so that any
// image viewer shows it. False (nothing written) when the bytes are too short to be a PNG;
// throws OutputError when the file cannot be written.
bool WriteViewablePng(const std::filesystem::path& directory, const std::string& name,
                      const LogoRecord& logo);
