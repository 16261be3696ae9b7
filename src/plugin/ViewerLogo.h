#pragma once

#include <cstdint>
#include <optional>

#include "LogoRecord.h"
#include "TVTestPlugin.h"

// The viewer's own logos: it collects them from the same broadcasts and keeps them between
// sessions, so it often holds a service's logo long before the broadcast sends it again. Every
// function here sends viewer messages: the viewer's UI thread only.

// Whether the viewer handles message 63 (message 1 asks; older viewers do not).
bool ViewerHandlesLogos(const TVTest::CTVTestApp& app);

// The viewer's logo of `logoType` for the service, as a record the overlay shows like a stored
// one: a complete PNG of the picture, sized by type. Display only: it has no logo id or version.
std::optional<LogoRecord> FetchViewerLogo(const TVTest::CTVTestApp& app, uint16_t networkId,
                                          uint16_t serviceId, uint8_t logoType);

// The pixels of a DIB section (24 or 32 bits a pixel, uncompressed) as that record; nothing for
// other bitmaps. The bitmap stays the caller's.
std::optional<LogoRecord> RecordFromBitmap(HBITMAP bitmap, uint8_t logoType);
