// Checking a .bmp file as LoadImageA(LR_LOADFROMFILE) would accept it.
#pragma once

#include <string>

#include "platform/files.h"

namespace plat::sim {

Err ParseBmp(const std::string& fileBytes, Bitmap* out);
// The same, with what is wrong in words when the file is refused
// ("info header size 64 is not one Windows knows").
Err ParseBmp(const std::string& fileBytes, Bitmap* out, std::string* why);

}  // namespace plat::sim
