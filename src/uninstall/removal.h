// The removal run: the pre-check on the user-interface thread, then the
// worker that walks the item list and removes every checked item through
// the spooler, with its registry keys and library files.
#pragma once

#include <string>

namespace uninstall {

// Control ids of the main dialog that the run touches.
inline constexpr int kIdUninstall = 1002;
inline constexpr int kIdLog = 1008;
inline constexpr int kIdItems = 1010;
inline constexpr int kIdSelectAll = 1012;
inline constexpr int kIdUsbCheck = 1019;
inline constexpr int kIdExit = 2;

// What the run sees of the main dialog. From the worker every call is a
// synchronous call to the user-interface thread.
class RemovalView {
public:
    virtual ~RemovalView() = default;
    virtual int ItemCount() = 0;
    virtual bool IsChecked(int index) = 0;
    virtual std::string ItemText(int index) = 0;
    virtual void DeleteItem(int index) = 0;
    virtual void Log(const std::string& line) = 0;   // append and select
    virtual bool UsbChecked() = 0;
    virtual void EnableControl(int id, bool on) = 0;
    virtual void SetCurrentItem(const std::string& name) = 0;
    // Classifies Windows again, with the classification's effect on the USB
    // check box.
    virtual int Reclassify() = 0;
    // The restart prompt, and the restart on Yes.
    virtual void OfferRestart() = 0;
};

// No local printer may hold print jobs. Logs why not and answers false.
bool PreCheck(RemovalView& view);

// The worker's run, from disabling the controls to enabling them again.
void RunRemoval(RemovalView& view);

// Stops and starts the Print Spooler service; nothing is awaited.
void RestartSpooler();

// Whether no local printer uses one of the maker's virtual COM ports
// (Windows 9x, before a monitor is removed); logs why not.
bool PortCheck(RemovalView& view, const std::string& monitor);

}  // namespace uninstall
