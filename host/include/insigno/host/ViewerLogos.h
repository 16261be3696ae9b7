#pragma once

// The viewer's own logos: the answers to messages 1 (for 63 and 64), 63 and 64, and the picture
// files a scenario gives them in.

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

#include "insigno/host/ViewerState.h"

namespace insigno::host {

// True for the messages answered by AnswerViewerLogos.
bool AnswersViewerLogos(UINT message, LPARAM lParam1);
// Message 1 for 63 or 64: whether the viewer handles them. Message 63: a new DIB section (24 bits
// a pixel, bottom up) of the logo, which the plug-in deletes, or null. Message 64: bit t set for
// each type t held for the service.
LRESULT AnswerViewerLogos(const ViewerState& state, UINT message, LPARAM lParam1, LPARAM lParam2);

// Reads an 8-bit, non-interlaced PNG of colour type 0, 2, 3 (with its palette) or 6 into
// `logo`'s size and pixels; false with `error` set otherwise.
bool ReadPicture(const std::filesystem::path& path, ViewerLogo& logo, std::string& error);

}  // namespace insigno::host
