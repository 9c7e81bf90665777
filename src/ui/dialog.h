// The dialog framework the programs are written against: dialogs built from
// templates, modal or as child pages, with handlers by control id and
// notification, control operations, data exchange, timers and painting.
// The back end that shows them is chosen by ui::Init (app.h); programs never
// name it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "ui/template.h"

namespace ui {

using Color = std::uint32_t;  // 0x00BBGGRR, as COLORREF
constexpr Color Rgb(int r, int g, int b) {
    return static_cast<Color>(r & 0xFF) | (static_cast<Color>(g & 0xFF) << 8) |
           (static_cast<Color>(b & 0xFF) << 16);
}
inline constexpr Color kDefaultColor = 0xFFFFFFFFu;  // the control's usual colour
// A system colour by its COLOR_ index, resolved when drawn.
constexpr Color SysColor(int index) { return 0xFF000000u | static_cast<Color>(index & 0xFF); }
inline constexpr Color kColorWindow = SysColor(5);
inline constexpr Color kColorWindowText = SysColor(8);
inline constexpr Color kColorBtnFace = SysColor(15);
constexpr bool IsSysColor(Color c) { return c != kDefaultColor && (c & 0xFFFFFF00u) == 0xFF000000u; }

// A font description (LOGFONT's fields that the programs set).
struct Font {
    std::string face;
    int height = 0;  // negative: character height in pixels; positive: cell height
    int weight = 400;
    bool italic = false;
    bool underline = false;
    int charset = 0;
    int pitchAndFamily = 0;
    bool operator==(const Font&) const = default;
};
inline constexpr std::size_t kMaxFaceName = 31;  // LOGFONT holds 31 characters and a zero

// Control notifications.
enum class Notify : std::uint8_t {
    Clicked,      // a button, radio or check box was clicked
    SelChange,    // a list's selection changed by the user
    ItemChecked,  // a list-view item's check box changed by the user
    DblClick,
};

// List-view extended styles (the Windows values).
inline constexpr std::uint32_t kLvGridLines = 0x01;
inline constexpr std::uint32_t kLvCheckBoxes = 0x04;
inline constexpr std::uint32_t kLvTrackSelect = 0x08;
inline constexpr std::uint32_t kLvFullRowSelect = 0x20;

// System menu command of the About item and the mask Windows applies.
inline constexpr int kSysCommandMask = 0xFFF0;

class Dialog;
class DataExchange;

// Painting inside OnPaint. Rectangles are in the dialog's units.
struct TextStyle {
    Font font;
    Color color = kDefaultColor;
    bool centered = true;  // one line, centred both ways
};

class Painter {
public:
    virtual ~Painter() = default;
    virtual Rect ClientRect() = 0;
    virtual void DrawText(const Rect& r, const std::string& text, const TextStyle& style) = 0;
    // Stretches the bitmap over the control's whole client area.
    virtual void DrawBitmap(int controlId, const plat::Bitmap& bitmap) = 0;
    // The icon resource centred in the client area (a minimised window).
    virtual void DrawIcon(int iconId) = 0;
};

// ---------------------------------------------------------------- controls

// A control of a dialog, by id. A plain wrapper forwards to the dialog; a
// control that is attached (Attach, or DataExchange::Control) also receives
// its own events: typed characters, clicks and its timers.
class Control {
public:
    Control() = default;
    Control(Dialog& owner, int id) : owner_(&owner), id_(id) {}
    Control(const Control& other) : owner_(other.owner_), id_(other.id_) {}
    Control& operator=(const Control& other);
    virtual ~Control();

    void Attach(Dialog& owner, int id);
    void Detach();
    bool IsAttached() const { return attached_; }
    Dialog* Owner() const { return owner_; }
    int Id() const { return id_; }
    bool Exists() const;

    void SetText(const std::string& text);
    std::string Text() const;
    void Enable(bool on);
    bool IsEnabled() const;
    void Show(bool on);
    bool IsVisible() const;
    void SetFocus();
    void SetFont(const Font& font);
    void SetColors(Color text, Color back);
    void Invalidate();

    // Timers of an attached control; OnTimer receives them.
    void SetTimer(int timerId, unsigned ms);
    void KillTimer(int timerId);

    // Events of an attached control.
    virtual void OnTimer(int timerId) {}
    virtual bool OnChar(unsigned ch) { return true; }  // false drops the character
    virtual void OnClick() {}

protected:
    Dialog* owner_ = nullptr;
    int id_ = kNoId;

private:
    friend class Dialog;
    bool attached_ = false;
};

class Button : public Control {
public:
    using Control::Control;
    void SetCheck(int state);  // 0 unchecked, 1 checked
    int GetCheck() const;
};

// Drop-down lists and list boxes share their operations.
class ListControl : public Control {
public:
    using Control::Control;
    static constexpr int kNone = -1;  // CB_ERR / LB_ERR
    int AddString(const std::string& text);             // sorted lists insert in order
    int InsertString(int index, const std::string& text);  // -1 appends
    int DeleteString(int index);                         // remaining count, or kNone
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);  // -1 clears; kNone when out of range
    std::string GetItemText(int index) const;
    std::string GetSelectedText() const;  // empty without a selection
    // Case-insensitive prefix search after `start` (-1: from the top), wrapping.
    int FindString(int start, const std::string& prefix) const;
    int FindStringExact(int start, const std::string& text) const;
    // Selects the first item with the prefix; its index or kNone.
    int SelectString(int start, const std::string& prefix);
};
using ComboBox = ListControl;
using ListBox = ListControl;

class ListView : public Control {
public:
    using Control::Control;
    void SetExtendedStyle(std::uint32_t style);
    std::uint32_t GetExtendedStyle() const;
    int InsertItem(int index, const std::string& text);  // the new index
    bool DeleteItem(int index);
    void DeleteAllItems();
    int GetItemCount() const;
    std::string GetItemText(int index) const;
    bool SetCheckState(int index, bool checked);
    bool GetCheckState(int index) const;
    int GetSelectedIndex() const;  // -1 for none
    void SetSelectedIndex(int index);
};

class ProgressBar : public Control {
public:
    using Control::Control;
    void SetRange(int low, int high);
    int SetPos(int pos);  // the previous position
    int GetPos() const;
};

// ---------------------------------------------------------------- data exchange

// Moves values between controls and fields, in one DoDataExchange per dialog.
// Saving (controls -> fields) validates; a failure stops the exchange, calls
// the dialog's OnDataExchangeFailed and makes UpdateData return false.
class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saving) : dialog_(dialog), saving_(saving) {}
    bool Saving() const { return saving_; }
    bool Failed() const { return failed_; }
    Dialog& Owner() const { return dialog_; }

    void Text(int id, std::string& value, std::size_t maxLength = 0);
    // A whole number; an empty or malformed text, or one outside [min, max], fails.
    void Int(int id, int& value, int min = INT32_MIN, int max = INT32_MAX);
    void Check(int id, int& value);
    // The index of the checked radio button in the group that starts at `firstId`; -1 none.
    void Radio(int firstId, int& index);
    void ListIndex(int id, int& index);       // drop-down or list box selection
    void ListText(int id, std::string& text); // the selected item's text
    // Binds a custom or standard control object (first time only).
    void Control(int id, ui::Control& control);
    // Marks the exchange failed at control `id` with a message for the user.
    void Fail(int id, const std::string& message);

private:
    Dialog& dialog_;
    bool saving_;
    bool failed_ = false;
};

// ---------------------------------------------------------------- dialog

class Dialog {
public:
    explicit Dialog(const DialogTemplate& tmpl);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally; its EndDialog result, or -1 when it cannot be shown.
    // From a worker thread the dialog runs on the user-interface thread.
    int DoModal(Dialog* owner = nullptr);
    // Creates the dialog as a hidden modeless child page of `parent`.
    bool Create(Dialog& parent);
    void DestroyWindow();
    bool IsWindow() const;
    void EndDialog(int result);

    const DialogTemplate& Template() const { return tmpl_; }
    Dialog* Parent() const { return parent_; }

    // Window operations. Rectangles are in the parent's dialog units.
    void MoveTo(const Rect& r);
    Rect ItemRect(int id) const;  // a control's rectangle in this dialog's units
    void ShowWindow(int show);    // SW_HIDE, SW_SHOW, SW_MINIMIZE, SW_RESTORE
    bool IsVisible() const;
    bool IsIconic() const;
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    void SetIcon(int iconId);
    // Appends a separator and an item to the system menu.
    void AppendSystemMenu(int commandId, const std::string& text);
    void Invalidate();

    // Controls by id (as GetDlgItem and its helpers).
    bool HasItem(int id) const;
    void SetItemText(int id, const std::string& text);
    std::string ItemText(int id) const;
    void EnableItem(int id, bool on);
    bool IsItemEnabled(int id) const;
    void ShowItem(int id, bool on);
    bool IsItemVisible(int id) const;  // the control's own visible flag
    void CheckButton(int id, int state);
    int IsButtonChecked(int id) const;
    void CheckRadioButton(int firstId, int lastId, int checkId);
    int CheckedRadioButton(int firstId, int lastId) const;  // 0 for none
    void FocusItem(int id);
    void SetItemFont(int id, const Font& font);
    // The font of the dialog and then of every control (WM_SETFONT to each).
    void SetDialogFont(const Font& font);
    void SetItemColors(int id, Color text, Color back);
    void AddTooltip(int id, const std::string& text);

    Button ButtonItem(int id) { return Button(*this, id); }
    ComboBox Combo(int id) { return ComboBox(*this, id); }
    ListBox List(int id) { return ListBox(*this, id); }
    ListView View(int id) { return ListView(*this, id); }
    ProgressBar Bar(int id) { return ProgressBar(*this, id); }

    void SetTimer(int timerId, unsigned ms);
    void KillTimer(int timerId);

    // Runs DoDataExchange: save = true reads the controls into the fields.
    bool UpdateData(bool save = true);

protected:
    // Handlers. The base OnInitDialog moves the fields into the controls; a
    // derived one calls it first. Return true to let the framework focus the
    // first control.
    virtual bool OnInitDialog();
    virtual void OnShowWindow(bool show) {}
    // The default looks up the handlers registered with On, then makes IDOK
    // run OnOK and IDCANCEL run OnCancel.
    virtual void OnCommand(int id, Notify code);
    virtual void OnTimer(int timerId) {}
    virtual void OnPaint(Painter& painter) {}
    // Return false for the default handling.
    virtual bool OnSysCommand(int command) { return false; }
    // F1. Return false to pass the request to the parent.
    virtual bool OnHelp() { return false; }
    virtual void OnOK();      // UpdateData(true), then EndDialog(IDOK)
    virtual void OnCancel();  // EndDialog(IDCANCEL)
    virtual void OnDestroy() {}
    virtual void DoDataExchange(DataExchange& dx) {}
    // A failed exchange: by default an application message box with the
    // message, and the focus on the control.
    virtual void OnDataExchangeFailed(int id, const std::string& message);

    void On(int id, Notify code, std::function<void()> fn);
    template <class D>
    void On(int id, Notify code, void (D::*fn)()) {
        D* self = static_cast<D*>(this);
        On(id, code, [self, fn] { (self->*fn)(); });
    }

private:
    friend class Control;
    friend class DataExchange;
    friend class Events;

    const DialogTemplate tmpl_;
    Dialog* parent_ = nullptr;
    std::map<std::pair<int, int>, std::function<void()>> handlers_;
    std::map<int, Control*> attached_;

public:
    // The back end's window data; programs do not touch it.
    std::shared_ptr<void> window;
};

// The back ends deliver events through this one door.
class Events {
public:
    static bool InitDialog(Dialog& d);
    static void ShowWindow(Dialog& d, bool show) { d.OnShowWindow(show); }
    static void Command(Dialog& d, int id, Notify code) { d.OnCommand(id, code); }
    // A timer of the dialog, or of one of its attached controls.
    static void Timer(Dialog& d, int timerId);
    static void Paint(Dialog& d, Painter& p) { d.OnPaint(p); }
    static bool SysCommand(Dialog& d, int command) { return d.OnSysCommand(command); }
    static bool Help(Dialog& d) { return d.OnHelp(); }
    static void Destroy(Dialog& d) { d.OnDestroy(); }
    // A character typed into a control; false when an attached control refuses it.
    static bool Char(Dialog& d, int id, unsigned ch);
    // A click on a static control with kNotify.
    static void StaticClick(Dialog& d, int id);
    static Dialog* Parent(Dialog& d) { return d.parent_; }
    static void SetParent(Dialog& d, Dialog* parent) { d.parent_ = parent; }
};

// Control timers travel as dialog timers with ids above this base.
inline constexpr int kControlTimerBase = 0x40000000;

}  // namespace ui
