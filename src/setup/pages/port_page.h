// The wizard's last page: the ports the chosen model can be installed on,
// with a preselection (the USB port of an answering USB printer, else a
// parallel or the first port), the serial settings for serial ports and the
// "Raster Graphic Printing" check box that chooses the raster (GDI) or the
// standard (STD) driver keys. It warns when the USB bulk driver is missing.
#pragma once

#include <memory>
#include <string>

#include "ui/dialog.h"

namespace setup {

class ColorLabel;

// The installMode for which the port list was last built (1 after the page
// initialises).
extern int listedMode;

class PortPage : public ui::Dialog {
public:
    PortPage();
    ~PortPage() override;

    static constexpr int kTemplateId = 132;

    // Builds the port list and the page state for `model`; does nothing when
    // the list was last built for this model and installMode. The wizard
    // calls it on entering the page, after setting installMode.
    void FillPorts(const char* model, int osClass, int printerType);

    // The wizard's preset of the baud rate from the model's BaudRate key:
    // sets baudRate and selects its entry of the baud list (110..115200 by
    // position, any other value, 38400 included, the 38400 entry).
    void PresetBaudRate(int baud);

    int chineseFont = 0;
    char portName[100] = {};          // the selected port's text, "" when none
    std::string listedModel;          // "PRINTER" after initialisation
    int baudRate = 0;
    int dataBits = 8;
    double stopBits = 1.0;
    char parity = 'n';
    char flowControl = 'p';           // 'p' hardware, 'x' Xon/Xoff, ' ' none
    int usbPortNumber = -1;           // 1..8 of the answering USB printer
    int installMode = 1;              // 1 typical, 0 advanced; set by the wizard
    int rasterPrinting = 0;           // check box 1052: 1 GDI keys, 0 STD keys

protected:
    bool OnInitDialog() override;
    void OnShowWindow(bool show) override;
    void DoDataExchange(ui::DataExchange& dx) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    void OnPortChange();
    void OnBaudChange();
    void OnDataBitsChange();
    void OnParityChange();
    void OnStopBitsChange();
    void OnProtocolChange();
    void SelectIndex(int index);
    void SelectContaining(const std::string& a, const std::string& b = "");
    void EnableSerialLists(bool on);
    void CheckUsbDriver();
    void ShowNotice(bool on);

    std::unique_ptr<ColorLabel> notice_;
};

}  // namespace setup
