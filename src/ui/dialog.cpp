#include "ui/dialog.h"

#include <cerrno>
#include <cstdlib>
#include <iostream>

#include "platform/win_types.h"
#include "ui/app.h"
#include "ui/app_internal.h"
#include "ui/message_box.h"

namespace ui {
namespace {

// Every window operation runs on the user-interface thread; from a worker it
// travels there and the worker waits, as a window message sent across
// threads does.
template <class F>
auto OnUi(F&& f) -> decltype(f()) {
    if (OnUiThread()) return f();
    if constexpr (std::is_void_v<decltype(f())>) {
        CallOnUiThread(f);
    } else {
        decltype(f()) r{};
        CallOnUiThread([&] { r = f(); });
        return r;
    }
}

OpResult Call(Dialog& d, int id, Op op, OpArgs args = {}) {
    return OnUi([&]() -> OpResult {
        Backend* b = detail::ActiveBackend();
        if (!b || !d.IsWindow()) return OpResult{};
        return b->control(d, id, op, args);
    });
}

OpResult CallA(Dialog& d, int id, Op op, int a, int b = 0) {
    OpArgs args;
    args.a = a;
    args.b = b;
    return Call(d, id, op, args);
}

OpResult CallT(Dialog& d, int id, Op op, const std::string& text, int a = 0) {
    OpArgs args;
    args.a = a;
    args.text = text;
    return Call(d, id, op, args);
}

}  // namespace

// ---------------------------------------------------------------- Control

Control& Control::operator=(const Control& other) {
    if (this != &other) {
        Detach();
        owner_ = other.owner_;
        id_ = other.id_;
    }
    return *this;
}

Control::~Control() { Detach(); }

void Control::Attach(Dialog& owner, int id) {
    Detach();
    owner_ = &owner;
    id_ = id;
    owner.attached_[id] = this;
    attached_ = true;
}

void Control::Detach() {
    if (attached_ && owner_) {
        auto it = owner_->attached_.find(id_);
        if (it != owner_->attached_.end() && it->second == this) owner_->attached_.erase(it);
    }
    attached_ = false;
}

bool Control::Exists() const { return owner_ && Call(*owner_, id_, Op::Exists).value != 0; }
void Control::SetText(const std::string& text) { if (owner_) CallT(*owner_, id_, Op::SetText, text); }
std::string Control::Text() const { return owner_ ? Call(*owner_, id_, Op::GetText).text : std::string(); }
void Control::Enable(bool on) { if (owner_) CallA(*owner_, id_, Op::Enable, on); }
bool Control::IsEnabled() const { return owner_ && Call(*owner_, id_, Op::IsEnabled).value != 0; }
void Control::Show(bool on) { if (owner_) CallA(*owner_, id_, Op::Show, on); }
bool Control::IsVisible() const { return owner_ && Call(*owner_, id_, Op::IsVisible).value != 0; }
void Control::SetFocus() { if (owner_) Call(*owner_, id_, Op::Focus); }
void Control::SetFont(const Font& font) {
    if (!owner_) return;
    OpArgs a;
    a.font = &font;
    Call(*owner_, id_, Op::SetFont, a);
}
void Control::SetColors(Color text, Color back) {
    if (owner_) CallA(*owner_, id_, Op::SetColors, static_cast<int>(text), static_cast<int>(back));
}
void Control::Invalidate() { if (owner_) Call(*owner_, id_, Op::Invalidate); }

// A control's timer i travels as the dialog's timer base + id * 16 + i.
void Control::SetTimer(int timerId, unsigned ms) {
    if (owner_ && timerId >= 0 && timerId < 16) owner_->SetTimer(kControlTimerBase + id_ * 16 + timerId, ms);
}
void Control::KillTimer(int timerId) {
    if (owner_ && timerId >= 0 && timerId < 16) owner_->KillTimer(kControlTimerBase + id_ * 16 + timerId);
}

void Button::SetCheck(int state) { if (owner_) CallA(*owner_, id_, Op::SetCheck, state); }
int Button::GetCheck() const { return owner_ ? Call(*owner_, id_, Op::GetCheck).value : 0; }

int ListControl::AddString(const std::string& text) { return owner_ ? CallT(*owner_, id_, Op::AddString, text).value : kNone; }
int ListControl::InsertString(int index, const std::string& text) {
    return owner_ ? CallT(*owner_, id_, Op::InsertString, text, index).value : kNone;
}
int ListControl::DeleteString(int index) { return owner_ ? CallA(*owner_, id_, Op::DeleteString, index).value : kNone; }
void ListControl::ResetContent() { if (owner_) Call(*owner_, id_, Op::ResetContent); }
int ListControl::GetCount() const { return owner_ ? Call(*owner_, id_, Op::GetCount).value : 0; }
int ListControl::GetCurSel() const { return owner_ ? Call(*owner_, id_, Op::GetCurSel).value : kNone; }
int ListControl::SetCurSel(int index) { return owner_ ? CallA(*owner_, id_, Op::SetCurSel, index).value : kNone; }
std::string ListControl::GetItemText(int index) const {
    return owner_ ? CallA(*owner_, id_, Op::GetItemText, index).text : std::string();
}
std::string ListControl::GetSelectedText() const {
    int sel = GetCurSel();
    return sel < 0 ? std::string() : GetItemText(sel);
}
int ListControl::FindString(int start, const std::string& prefix) const {
    return owner_ ? CallT(*owner_, id_, Op::FindPrefix, prefix, start).value : kNone;
}
int ListControl::FindStringExact(int start, const std::string& text) const {
    return owner_ ? CallT(*owner_, id_, Op::FindExact, text, start).value : kNone;
}
int ListControl::SelectString(int start, const std::string& prefix) {
    int i = FindString(start, prefix);
    if (i >= 0) SetCurSel(i);
    return i;
}

void ListView::SetExtendedStyle(std::uint32_t style) { if (owner_) CallA(*owner_, id_, Op::SetExStyle, static_cast<int>(style)); }
std::uint32_t ListView::GetExtendedStyle() const {
    return owner_ ? static_cast<std::uint32_t>(Call(*owner_, id_, Op::GetExStyle).value) : 0;
}
int ListView::InsertItem(int index, const std::string& text) {
    return owner_ ? CallT(*owner_, id_, Op::InsertString, text, index).value : -1;
}
bool ListView::DeleteItem(int index) { return owner_ && CallA(*owner_, id_, Op::DeleteString, index).value >= 0; }
void ListView::DeleteAllItems() { if (owner_) Call(*owner_, id_, Op::ResetContent); }
int ListView::GetItemCount() const { return owner_ ? Call(*owner_, id_, Op::GetCount).value : 0; }
std::string ListView::GetItemText(int index) const {
    return owner_ ? CallA(*owner_, id_, Op::GetItemText, index).text : std::string();
}
bool ListView::SetCheckState(int index, bool checked) {
    return owner_ && CallA(*owner_, id_, Op::SetItemCheck, index, checked).value != 0;
}
bool ListView::GetCheckState(int index) const { return owner_ && CallA(*owner_, id_, Op::GetItemCheck, index).value != 0; }
int ListView::GetSelectedIndex() const { return owner_ ? Call(*owner_, id_, Op::GetCurSel).value : -1; }
void ListView::SetSelectedIndex(int index) { if (owner_) CallA(*owner_, id_, Op::SetCurSel, index); }

void ProgressBar::SetRange(int low, int high) { if (owner_) CallA(*owner_, id_, Op::SetRange, low, high); }
int ProgressBar::SetPos(int pos) { return owner_ ? CallA(*owner_, id_, Op::SetPos, pos).value : 0; }
int ProgressBar::GetPos() const { return owner_ ? Call(*owner_, id_, Op::GetPos).value : 0; }

// ---------------------------------------------------------------- DataExchange

void DataExchange::Text(int id, std::string& value, std::size_t maxLength) {
    if (failed_) return;
    if (!saving_) {
        dialog_.SetItemText(id, value);
        return;
    }
    std::string text = dialog_.ItemText(id);
    if (maxLength > 0 && text.size() > maxLength) {
        Fail(id, "Enter no more than " + std::to_string(maxLength) + " characters.");
        return;
    }
    value = text;
}

void DataExchange::Int(int id, int& value, int min, int max) {
    if (failed_) return;
    if (!saving_) {
        dialog_.SetItemText(id, std::to_string(value));
        return;
    }
    std::string text = dialog_.ItemText(id);
    std::size_t b = text.find_first_not_of(' ');
    std::size_t e = text.find_last_not_of(' ');
    text = b == std::string::npos ? std::string() : text.substr(b, e - b + 1);
    char* end = nullptr;
    errno = 0;
    long long v = text.empty() ? 0 : std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || v < INT32_MIN || v > INT32_MAX) {
        Fail(id, "Please enter an integer.");
        return;
    }
    if (v < min || v > max) {
        Fail(id, "Please enter an integer between " + std::to_string(min) + " and " + std::to_string(max) + ".");
        return;
    }
    value = static_cast<int>(v);
}

void DataExchange::Check(int id, int& value) {
    if (failed_) return;
    if (saving_)
        value = dialog_.IsButtonChecked(id);
    else
        dialog_.CheckButton(id, value);
}

void DataExchange::Radio(int firstId, int& index) {
    if (failed_) return;
    // The group: the radio buttons from firstId up to the next group start.
    const auto& controls = dialog_.Template().controls;
    std::vector<int> group;
    bool in = false;
    for (const ControlTemplate& c : controls) {
        bool radio = c.kind == Kind::RadioButton || c.kind == Kind::AutoRadioButton;
        if (c.id == firstId && c.id != kNoId) {
            in = true;
        } else if (in && (!radio || (c.style & kGroup))) {
            break;
        }
        if (in && radio) group.push_back(c.id);
    }
    if (saving_) {
        index = -1;
        for (std::size_t i = 0; i < group.size(); ++i)
            if (dialog_.IsButtonChecked(group[i])) {
                index = static_cast<int>(i);
                break;
            }
    } else {
        for (std::size_t i = 0; i < group.size(); ++i)
            dialog_.CheckButton(group[i], static_cast<int>(i) == index ? 1 : 0);
    }
}

void DataExchange::ListIndex(int id, int& index) {
    if (failed_) return;
    ListControl list(dialog_, id);
    if (saving_)
        index = list.GetCurSel();
    else
        list.SetCurSel(index);
}

void DataExchange::ListText(int id, std::string& text) {
    if (failed_) return;
    ListControl list(dialog_, id);
    if (saving_) {
        text = list.GetSelectedText();
    } else {
        int i = list.FindStringExact(-1, text);
        list.SetCurSel(i);
    }
}

void DataExchange::Control(int id, ui::Control& control) {
    if (!control.IsAttached() || control.Owner() != &dialog_ || control.Id() != id) control.Attach(dialog_, id);
}

void DataExchange::Fail(int id, const std::string& message) {
    if (failed_) return;
    failed_ = true;
    dialog_.OnDataExchangeFailed(id, message);
}

// ---------------------------------------------------------------- Dialog

Dialog::Dialog(const DialogTemplate& tmpl) : tmpl_(tmpl) {}

Dialog::~Dialog() {
    for (auto& [id, c] : attached_) c->attached_ = false;
    attached_.clear();
    if (window) {
        // A window outliving its object would call a destroyed object.
        Backend* b = detail::ActiveBackend();
        if (b) OnUi([&] { b->destroy(*this); });
        window.reset();
    }
}

int Dialog::DoModal(Dialog* owner) {
    return OnUi([&]() -> int {
        Backend* b = detail::ActiveBackend();
        if (!b) {
            std::cerr << "ui: no display to show dialog " << tmpl_.id << " (ui::Init was not called)" << std::endl;
            return -1;
        }
        return b->runModal(*this, owner);
    });
}

bool Dialog::Create(Dialog& parent) {
    return OnUi([&]() -> bool {
        Backend* b = detail::ActiveBackend();
        return b && b->createChild(*this, parent);
    });
}

void Dialog::DestroyWindow() {
    OnUi([&] {
        if (Backend* b = detail::ActiveBackend(); b && window) b->destroy(*this);
    });
}

bool Dialog::IsWindow() const { return window != nullptr; }

void Dialog::EndDialog(int result) {
    OnUi([&] {
        if (Backend* b = detail::ActiveBackend(); b && window) b->endDialog(*this, result);
    });
}

#define UI_WINDOW_OP(expr)                                              \
    OnUi([&] {                                                          \
        if (Backend* b = detail::ActiveBackend(); b && window) b->expr; \
    })

void Dialog::MoveTo(const Rect& r) { UI_WINDOW_OP(moveTo(*this, r)); }
Rect Dialog::ItemRect(int id) const { return Call(const_cast<Dialog&>(*this), id, Op::GetRect).rect; }
void Dialog::ShowWindow(int show) { UI_WINDOW_OP(showWindow(*this, show)); }
bool Dialog::IsVisible() const {
    return OnUi([&]() -> bool {
        Backend* b = detail::ActiveBackend();
        return b && window && b->isVisible(const_cast<Dialog&>(*this));
    });
}
bool Dialog::IsIconic() const {
    return OnUi([&]() -> bool {
        Backend* b = detail::ActiveBackend();
        return b && window && b->isIconic(const_cast<Dialog&>(*this));
    });
}
void Dialog::SetWindowText(const std::string& text) { UI_WINDOW_OP(setCaption(*this, text)); }
std::string Dialog::GetWindowText() const {
    return OnUi([&]() -> std::string {
        Backend* b = detail::ActiveBackend();
        return b && window ? b->caption(const_cast<Dialog&>(*this)) : std::string();
    });
}
void Dialog::SetIcon(int iconId) { UI_WINDOW_OP(setIcon(*this, iconId)); }
void Dialog::AppendSystemMenu(int commandId, const std::string& text) {
    UI_WINDOW_OP(appendSystemMenu(*this, commandId, text));
}
void Dialog::Invalidate() { UI_WINDOW_OP(invalidate(*this)); }
void Dialog::SetTimer(int timerId, unsigned ms) { UI_WINDOW_OP(setTimer(*this, timerId, ms)); }
void Dialog::KillTimer(int timerId) { UI_WINDOW_OP(killTimer(*this, timerId)); }

#undef UI_WINDOW_OP

bool Dialog::HasItem(int id) const { return Call(const_cast<Dialog&>(*this), id, Op::Exists).value != 0; }
void Dialog::SetItemText(int id, const std::string& text) { CallT(*this, id, Op::SetText, text); }
std::string Dialog::ItemText(int id) const { return Call(const_cast<Dialog&>(*this), id, Op::GetText).text; }
void Dialog::EnableItem(int id, bool on) { CallA(*this, id, Op::Enable, on); }
bool Dialog::IsItemEnabled(int id) const { return Call(const_cast<Dialog&>(*this), id, Op::IsEnabled).value != 0; }
void Dialog::ShowItem(int id, bool on) { CallA(*this, id, Op::Show, on); }
bool Dialog::IsItemVisible(int id) const { return Call(const_cast<Dialog&>(*this), id, Op::IsVisible).value != 0; }
void Dialog::CheckButton(int id, int state) { CallA(*this, id, Op::SetCheck, state); }
int Dialog::IsButtonChecked(int id) const { return Call(const_cast<Dialog&>(*this), id, Op::GetCheck).value; }

void Dialog::CheckRadioButton(int firstId, int lastId, int checkId) {
    for (const ControlTemplate& c : tmpl_.controls)
        if (c.id != kNoId && c.id >= firstId && c.id <= lastId) CheckButton(c.id, c.id == checkId ? 1 : 0);
}

int Dialog::CheckedRadioButton(int firstId, int lastId) const {
    for (int id = firstId; id <= lastId; ++id)
        if (tmpl_.find(id) && IsButtonChecked(id)) return id;
    return 0;
}

void Dialog::FocusItem(int id) { Call(*this, id, Op::Focus); }

void Dialog::SetItemFont(int id, const Font& font) {
    OpArgs a;
    a.font = &font;
    Call(*this, id, Op::SetFont, a);
}

void Dialog::SetDialogFont(const Font& font) {
    SetItemFont(0, font);  // id 0: the dialog itself
    for (const ControlTemplate& c : tmpl_.controls)
        if (c.id != kNoId) SetItemFont(c.id, font);
}

void Dialog::SetItemColors(int id, Color text, Color back) {
    CallA(*this, id, Op::SetColors, static_cast<int>(text), static_cast<int>(back));
}

void Dialog::AddTooltip(int id, const std::string& text) { CallT(*this, id, Op::AddTooltip, text); }

bool Dialog::UpdateData(bool save) {
    DataExchange dx(*this, save);
    DoDataExchange(dx);
    return !dx.Failed();
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::OnCommand(int id, Notify code) {
    auto it = handlers_.find({id, static_cast<int>(code)});
    if (it != handlers_.end()) {
        auto fn = it->second;  // the handler may register others
        fn();
        return;
    }
    if (code != Notify::Clicked) return;
    if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        OnCancel();
}

void Dialog::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

void Dialog::OnDataExchangeFailed(int id, const std::string& message) {
    AppMessageBox(message);
    FocusItem(id);
}

void Dialog::On(int id, Notify code, std::function<void()> fn) { handlers_[{id, static_cast<int>(code)}] = std::move(fn); }

// ---------------------------------------------------------------- Events

bool Events::InitDialog(Dialog& d) { return d.OnInitDialog(); }

void Events::Timer(Dialog& d, int timerId) {
    if (timerId >= kControlTimerBase) {
        int rest = timerId - kControlTimerBase;
        auto it = d.attached_.find(rest / 16);
        if (it != d.attached_.end()) it->second->OnTimer(rest % 16);
        return;
    }
    d.OnTimer(timerId);
}

bool Events::Char(Dialog& d, int id, unsigned ch) {
    auto it = d.attached_.find(id);
    return it == d.attached_.end() || it->second->OnChar(ch);
}

void Events::StaticClick(Dialog& d, int id) {
    auto it = d.attached_.find(id);
    if (it != d.attached_.end()) it->second->OnClick();
}

}  // namespace ui
