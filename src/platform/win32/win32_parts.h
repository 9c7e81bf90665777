// The Win32 services behind the seam, one per interface; the host platform
// puts them together.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace plat::win32 {

std::unique_ptr<Profile> MakeProfile();
std::unique_ptr<Registry> MakeRegistry();
std::unique_ptr<Spooler> MakeSpooler();
std::unique_ptr<Services> MakeServices();
std::unique_ptr<Files> MakeFiles();
std::unique_ptr<System> MakeSystem();
std::unique_ptr<Desktop> MakeDesktop();
std::unique_ptr<UsbLibrary> MakeUsbLibrary();
std::unique_ptr<Cabinets> MakeCabinets();
std::unique_ptr<ErrorText> MakeErrorText();
std::unique_ptr<Clock> MakeClock();

}  // namespace plat::win32
