#pragma once

#include "LogoRecord.h"
#include "LogoStore.h"
#include "TypeOneReferences.h"

// The versions rule of carousel logos, for the plug-in and insigno-scan alike. A carousel logo
// carries no version: it takes the one its network's SDT gave its logo id in a type 1 entry (the
// lowest service id's). Without one it goes in as version 0, and only while the store holds no
// version of it. A held file of the same version is rewritten when the carousel sends other
// bytes for it: broadcasters may change the SDT's version before the module brings the image.
//
// `record` is a logo as the carousel gives it (any version). Refused when the store refused it
// for now (a full queue, a stopping writer): it must be offered again later. A logo that is no
// well-formed PNG is never taken, and counts as held.
LogoStore::Taken FileCarouselLogo(LogoRecord record, const TypeOneReferences& references,
                                  LogoStore& store);
