// Checking a .bmp file as LoadImageA(LR_LOADFROMFILE) would accept it.
#pragma once

#include <string>

#include "platform/files.h"

namespace plat::sim {

Err ParseBmp(const std::string& fileBytes, Bitmap* out);

}  // namespace plat::sim
