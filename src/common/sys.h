// The program's one Platform, installed by main before anything else runs
// (much as a framework keeps its application object). Program code reaches
// the machine only through it.
#pragma once

#include "platform/platform.h"

namespace common {

plat::Platform& Sys();
void SetSys(plat::Platform* platform);   // main and test fixtures

}  // namespace common
