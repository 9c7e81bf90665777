// The port page. The port list is rebuilt only when the model or the
// installation mode changed since the last build, so that coming back to
// the page keeps the user's choice.
#include "setup/pages/port_page.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/language_text.h"
#include "common/sys.h"
#include "setup/config/driver_config.h"
#include "setup/engine/bulk_usb.h"
#include "setup/pages/os_page.h"
#include "setup/usb/usb_identity.h"
#include "setup/wizard/color_label.h"
#include "setup/wizard/setup_wizard_dlg.h"

namespace setup {

int listedMode = 1;

namespace {

constexpr int kPorts = 1049;
constexpr int kBaud = 1041;
constexpr int kDataBits = 1042;
constexpr int kParity = 1043;
constexpr int kStopBits = 1044;
constexpr int kProtocol = 1045;
constexpr int kRaster = 1052;
constexpr int kNotice = 1065;
constexpr int kSerialLists[] = {kBaud, kDataBits, kParity, kStopBits, kProtocol};

// String resource 134: "按“F1”查看帮助".
const char kRasterTip[] = "\xB0\xB4\xA1\xB0" "F1" "\xA1\xB1\xB2\xE9\xBF\xB4\xB0\xEF\xD6\xFA";

const ui::DialogTemplate kPortTemplate = {
    PortPage::kTemplateId, 207, 162, "", ui::kChild | ui::kControlParent, "System", 10,
    {
        {kPorts, ui::Kind::DropList, 67, 16, 119, 74, "", ui::kSorted | ui::kVScroll | ui::kTabStop},
        {kBaud, ui::Kind::DropList, 67, 42, 38, 98, "", ui::kVScroll | ui::kTabStop},
        {kParity, ui::Kind::DropList, 151, 42, 33, 82, "", ui::kVScroll | ui::kTabStop},
        {kDataBits, ui::Kind::DropList, 67, 66, 38, 68, "", ui::kVScroll | ui::kTabStop},
        {kStopBits, ui::Kind::DropList, 151, 66, 33, 55, "", ui::kVScroll | ui::kTabStop},
        {kProtocol, ui::Kind::DropList, 67, 90, 93, 70, "", ui::kVScroll | ui::kTabStop},
        {kRaster, ui::Kind::AutoCheckBox, 7, 117, 92, 8, "Raster Graphic Printing", ui::kDisabled | ui::kTabStop},
        {1095, ui::Kind::GroupBox, 7, 4, 184, 110, "Set Printer Port", 0},
        {1098, ui::Kind::Static, 19, 44, 47, 8, "Baud Rate:", 0},
        {1100, ui::Kind::Static, 19, 68, 44, 8, "Byte Size:", 0},
        {1099, ui::Kind::Static, 108, 44, 42, 8, "Parity:", 0},
        {1101, ui::Kind::Static, 107, 68, 42, 8, "Stop Bits:", 0},
        {1102, ui::Kind::Static, 19, 92, 46, 8, "Protocol:", 0},
        {1096, ui::Kind::Static, 20, 18, 32, 8, "Ports:", 0},
        {1097, ui::Kind::GroupBox, 14, 31, 172, 77, "COM port setting", 0},
        // The notice sits below the check box, inside the page, so that the
        // user sees it when it is shown.
        {kNotice, ui::Kind::Static, 7, 130, 186, 26, "", ui::kHidden},
    },
};

const char* const kBaudRates[] = {"110", "300", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"};
const int kBaudValues[] = {110, 300, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
constexpr int kBaudOther = 7;   // 38400, also for values the list does not hold
// The parity and protocol lists in the order they are filled, with the
// letters they stand for: the choice counts by its place in the list, so a
// translated text means the same.
const char* const kParityKeys[] = {"Parity.Even", "Parity.Mark", "Parity.None", "Parity.Odd", "Parity.Space"};
const char kParityLetters[] = {'E', 'M', 'N', 'O', 'S'};
const char* const kProtocolKeys[] = {"Protocol.None", "Protocol.Xonoff", "Protocol.Hardware"};
const char kProtocolLetters[] = {' ', 'x', 'p'};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

int DetectedOsClass() { return theOsPage ? theOsPage->osClass : 0; }

}  // namespace

PortPage::PortPage() : Dialog(kPortTemplate), notice_(std::make_unique<ColorLabel>()) {
    On(kPorts, ui::Notify::SelChange, &PortPage::OnPortChange);
    On(kBaud, ui::Notify::SelChange, &PortPage::OnBaudChange);
    On(kDataBits, ui::Notify::SelChange, &PortPage::OnDataBitsChange);
    On(kParity, ui::Notify::SelChange, &PortPage::OnParityChange);
    On(kStopBits, ui::Notify::SelChange, &PortPage::OnStopBitsChange);
    On(kProtocol, ui::Notify::SelChange, &PortPage::OnProtocolChange);
}

PortPage::~PortPage() = default;

void PortPage::DoDataExchange(ui::DataExchange& dx) {
    dx.Control(kNotice, *notice_);
    dx.Check(kRaster, rasterPrinting);
}

bool PortPage::OnInitDialog() {
    Dialog::OnInitDialog();
    if (chineseFont == 1) ApplySharedFont(*this);

    common::LanguageText confirm("Confirm");
    for (const char* b : kBaudRates) Combo(kBaud).AddString(b);
    for (const char* d : {"5", "6", "7", "8"}) Combo(kDataBits).AddString(d);
    for (const char* s : {"1", "1.5", "2"}) Combo(kStopBits).AddString(s);
    for (const char* key : kParityKeys) Combo(kParity).AddString(confirm.GetText(key));
    Combo(kDataBits).SetCurSel(3);
    Combo(kStopBits).SetCurSel(0);
    Combo(kParity).SetCurSel(2);
    for (const char* key : kProtocolKeys) Combo(kProtocol).AddString(confirm.GetText(key));
    Combo(kProtocol).SetCurSel(2);

    stopBits = 1.0;
    dataBits = 8;
    parity = 'n';
    flowControl = 'p';

    AddTooltip(kRaster, kRasterTip);
    notice_->SetTextColor(ui::Rgb(0, 0, 255));
    notice_->SetBackColor(ui::Rgb(255, 202, 253));
    notice_->SetFontHeight(14);
    notice_->SetFaceName("Arial");

    listedModel = "PRINTER";
    installMode = 1;
    listedMode = 1;
    usbPortNumber = -1;
    return true;
}

void PortPage::OnShowWindow(bool) {
    common::LanguageText confirm("Confirm");
    const std::pair<int, const char*> texts[] = {
        {1095, "Set"},      {1096, "Ports"},  {1097, "Com"},      {1098, "BaudRate"}, {1099, "Parity"},
        {1100, "ByteSize"}, {1101, "StopBits"}, {1102, "Protocol"}, {kRaster, "Raster"},
    };
    for (const auto& [id, key] : texts) SetItemText(id, confirm.GetText(key));
}

void PortPage::PresetBaudRate(int baud) {
    baudRate = baud;
    int index = kBaudOther;
    for (int i = 0; i < static_cast<int>(std::size(kBaudValues)); ++i) {
        if (kBaudValues[i] == baud) index = i;
    }
    Combo(kBaud).SetCurSel(index);
}

void PortPage::SelectIndex(int index) {
    ui::ComboBox ports = Combo(kPorts);
    ports.SetCurSel(index);
    std::snprintf(portName, sizeof portName, "%s", ports.GetSelectedText().c_str());
}

void PortPage::SelectContaining(const std::string& a, const std::string& b) {
    ui::ComboBox ports = Combo(kPorts);
    for (int i = 0; i < ports.GetCount(); ++i) {
        std::string item = ports.GetItemText(i);
        if (Contains(item, a) && (b.empty() || Contains(item, b))) {
            SelectIndex(i);
            return;
        }
    }
}

void PortPage::EnableSerialLists(bool on) {
    for (int id : kSerialLists) EnableItem(id, on);
}

void PortPage::ShowNotice(bool on) { notice_->Show(on); }

void PortPage::CheckUsbDriver() {
    std::string windows;
    common::Sys().files().getWindowsDirectory(200, &windows);
    if (GetFileVersionText(windows + "\\system32\\drivers\\bulkusb.sys") == "0.0.0.0") {
        notice_->SetText(common::messageText().GetText("IDS_ERR_UPDATEUSB"));
        ShowNotice(true);
    } else {
        ShowNotice(false);
    }
}

void PortPage::FillPorts(const char* model, int osClass, int printerType) {
    if (listedModel == model && listedMode == installMode) return;
    listedMode = installMode;
    listedModel = model;
    ui::ComboBox ports = Combo(kPorts);
    ports.ResetContent();
    portName[0] = '\0';

    char commonPath[200];
    char typePath[200];
    ConfigPaths(printerType, commonPath, typePath);
    char section[256];
    std::snprintf(section, sizeof section, "%s.PORT", model);
    const bool advanced = installMode == 0;
    int usbSupported = ReadIniInt(typePath, section, "USBSUPPORTED");
    int lptSupported = ReadIniInt(typePath, section, "LPTSUPPORTED");
    int comSupported = ReadIniInt(typePath, section, "COMSUPPORTED");
    int lptDefault = ReadIniInt(typePath, section, "LPTDEFAULT");
    int rasterVisible = advanced ? ReadIniInt(typePath, section, "RASTERVISIABLE") : 0;

    if (osClass != 0) {
        if (lptSupported) {
            for (const char* p : {"LPT1:", "LPT2:", "LPT3:"}) ports.AddString(p);
        }
        if (comSupported) {
            for (int i = 1; i <= 8; ++i) ports.AddString("KSCOM" + std::to_string(i) + ":");
        }
    } else {
        if (lptSupported) ports.AddString("LPT1:");
        if (comSupported) {
            for (const char* p : {"COM1:", "COM2:"}) ports.AddString(p);
        }
    }

    int d = UsbDeviceId();
    if (advanced && !usbSupported) d = kNoUsbPrinter;

    if (usbSupported && osClass != 1) {
        for (int i = 1; i <= (advanced ? 4 : 1); ++i) ports.AddString("USB_" + std::string(model) + "_" + std::to_string(i));
        EnableSerialLists(false);
    }
    if (advanced && !lptSupported) SelectIndex(0);

    if (usbSupported && d != kNoUsbPrinter) {
        int n = UsbPortNumber(d);
        usbPortNumber = n;
        if (!advanced) {
            SelectContaining("USB");
        } else {
            if (n > 4) SelectIndex(0);
            SelectContaining("USB", "_" + std::to_string(n));
        }
        EnableSerialLists(false);
    } else if (lptDefault && lptSupported) {
        SelectContaining("LPT");
    } else {
        SelectIndex(0);
    }

    std::string port = portName;
    if (Contains(port, "USB")) {
        if (DetectedOsClass() >= 2) CheckUsbDriver();
        EnableItem(kRaster, true);
        rasterPrinting = 1;
    } else if (Contains(port, "LPT")) {
        ShowNotice(false);
        EnableItem(kRaster, true);
        rasterPrinting = 1;
        EnableSerialLists(false);
    } else {
        EnableSerialLists(true);
        ShowNotice(false);
        EnableItem(kRaster, false);
        rasterPrinting = 0;
    }

    if (!advanced) {
        ShowItem(kRaster, false);
    } else if (rasterVisible == 0) {
        ShowItem(kRaster, true);
    } else if (rasterVisible == 1) {
        ShowItem(kRaster, false);
    }
    UpdateData(false);
}

void PortPage::OnPortChange() {
    std::snprintf(portName, sizeof portName, "%s", Combo(kPorts).GetSelectedText().c_str());
    std::string port = portName;
    if (Contains(port, "COM")) {
        EnableSerialLists(true);
        EnableItem(kRaster, false);
        ShowNotice(false);
        rasterPrinting = 0;
    } else {
        EnableSerialLists(false);
        EnableItem(kRaster, true);
        rasterPrinting = 1;
        if (Contains(port, "USB")) {
            if (DetectedOsClass() >= 2) CheckUsbDriver();
        } else {
            ShowNotice(false);
        }
    }
    UpdateData(false);
}

void PortPage::OnBaudChange() { baudRate = std::atoi(Combo(kBaud).GetSelectedText().c_str()); }

void PortPage::OnDataBitsChange() { dataBits = std::atoi(Combo(kDataBits).GetSelectedText().c_str()); }

void PortPage::OnStopBitsChange() { stopBits = std::atof(Combo(kStopBits).GetSelectedText().c_str()); }

void PortPage::OnParityChange() {
    int i = Combo(kParity).GetCurSel();
    if (i >= 0 && i < static_cast<int>(std::size(kParityLetters))) parity = kParityLetters[i];
}

void PortPage::OnProtocolChange() {
    int i = Combo(kProtocol).GetCurSel();
    if (i >= 0 && i < static_cast<int>(std::size(kProtocolLetters))) flowControl = kProtocolLetters[i];
}

}  // namespace setup
