// The Windows programs' platform: the real calls, one service each.
#include <windows.h>

#include "platform/host.h"
#include "platform/win32/win32_parts.h"

namespace plat {
namespace {

class Win32Platform final : public Platform {
public:
    Win32Platform()
        : profile_(win32::MakeProfile()),
          registry_(win32::MakeRegistry()),
          spooler_(win32::MakeSpooler()),
          services_(win32::MakeServices()),
          files_(win32::MakeFiles()),
          system_(win32::MakeSystem()),
          desktop_(win32::MakeDesktop()),
          usb_(win32::MakeUsbLibrary()),
          cabinets_(win32::MakeCabinets()),
          errorText_(win32::MakeErrorText()),
          clock_(win32::MakeClock()) {}

    Profile& profile() override { return *profile_; }
    Registry& registry() override { return *registry_; }
    Spooler& spooler() override { return *spooler_; }
    Services& services() override { return *services_; }
    Files& files() override { return *files_; }
    System& system() override { return *system_; }
    Desktop& desktop() override { return *desktop_; }
    UsbLibrary& usb() override { return *usb_; }
    Cabinets& cabinets() override { return *cabinets_; }
    ErrorText& errorText() override { return *errorText_; }
    Clock& clock() override { return *clock_; }

private:
    std::unique_ptr<Profile> profile_;
    std::unique_ptr<Registry> registry_;
    std::unique_ptr<Spooler> spooler_;
    std::unique_ptr<Services> services_;
    std::unique_ptr<Files> files_;
    std::unique_ptr<System> system_;
    std::unique_ptr<Desktop> desktop_;
    std::unique_ptr<UsbLibrary> usb_;
    std::unique_ptr<Cabinets> cabinets_;
    std::unique_ptr<ErrorText> errorText_;
    std::unique_ptr<Clock> clock_;
};

}  // namespace

std::unique_ptr<Platform> CreateHostPlatform(const HostOptions& options, std::string* error) {
    // A simulated machine exists only in the Linux build; asking for one here
    // is a mistake in the command line, not something to ignore.
    if (!options.machineDir.empty() || !options.mediumDir.empty()) {
        if (error) {
            *error =
                "a simulated machine (--machine, --medium) is not available in the "
                "Windows build; the program runs on this machine as it is";
        }
        return nullptr;
    }
    return std::make_unique<Win32Platform>();
}

}  // namespace plat
