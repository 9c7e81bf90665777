// Real windows: dialog templates built in memory from the template tables,
// the system's modal loop, controls reached with their window messages.
// The texts are ANSI bytes and go to the A functions as they are.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

#include "ui/app_internal.h"
#include "ui/backend.h"

namespace ui {
namespace {

constexpr UINT kRunPosted = WM_APP + 1;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

std::wstring WideAnsi(const std::string& s) {
    if (s.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

// ---------------------------------------------------------------- templates in memory

class TemplateWriter {
public:
    void word(WORD w) { bytes_.insert(bytes_.end(), reinterpret_cast<BYTE*>(&w), reinterpret_cast<BYTE*>(&w) + 2); }
    void dword(DWORD d) { bytes_.insert(bytes_.end(), reinterpret_cast<BYTE*>(&d), reinterpret_cast<BYTE*>(&d) + 4); }
    void text(const std::wstring& s) {
        for (wchar_t c : s) word(static_cast<WORD>(c));
        word(0);
    }
    void align() {
        while (bytes_.size() % 4) bytes_.push_back(0);
    }
    std::vector<BYTE>& bytes() { return bytes_; }

private:
    std::vector<BYTE> bytes_;
};

struct ControlClass {
    WORD atom;             // 0x80 button ... 0x85 combo box; 0 for a named class
    const wchar_t* name;   // the class name when atom is 0
    DWORD style;
};

// Window class and styles of each kind.
ControlClass ClassOf(Kind kind) {
    switch (kind) {
    case Kind::Static: return {0x82, nullptr, SS_LEFT};
    case Kind::Frame: return {0x82, nullptr, SS_BLACKFRAME};
    case Kind::EtchedFrame: return {0x82, nullptr, SS_ETCHEDFRAME};
    case Kind::EtchedLine: return {0x82, nullptr, SS_ETCHEDHORZ};
    case Kind::GroupBox: return {0x80, nullptr, BS_GROUPBOX};
    case Kind::PushButton: return {0x80, nullptr, BS_PUSHBUTTON};
    case Kind::DefPushButton: return {0x80, nullptr, BS_DEFPUSHBUTTON};
    case Kind::RadioButton: return {0x80, nullptr, BS_RADIOBUTTON};
    case Kind::AutoRadioButton: return {0x80, nullptr, BS_AUTORADIOBUTTON};
    case Kind::CheckBox: return {0x80, nullptr, BS_CHECKBOX};
    case Kind::AutoCheckBox: return {0x80, nullptr, BS_AUTOCHECKBOX};
    case Kind::DropList: return {0x85, nullptr, CBS_DROPDOWNLIST};
    case Kind::Edit: return {0x81, nullptr, ES_LEFT};
    case Kind::ListBox: return {0x83, nullptr, LBS_NOTIFY};
    case Kind::ListView: return {0, L"SysListView32", LVS_LIST | LVS_SINGLESEL | LVS_SHOWSELALWAYS};
    case Kind::Progress: return {0, L"msctls_progress32", 0};
    case Kind::Icon: return {0x82, nullptr, SS_ICON};
    }
    return {0x82, nullptr, 0};
}

DWORD StyleOf(const ControlTemplate& c) {
    DWORD s = WS_CHILD | ClassOf(c.kind).style;
    if (!(c.style & kHidden)) s |= WS_VISIBLE;
    if (c.style & kDisabled) s |= WS_DISABLED;
    if (c.style & kTabStop) s |= WS_TABSTOP;
    if (c.style & kGroup) s |= WS_GROUP;
    if (c.style & kVScroll) s |= WS_VSCROLL;
    if (c.style & kBorder) s |= WS_BORDER;
    switch (c.kind) {
    case Kind::Static:
        if (c.style & kCenter) s |= SS_CENTER;
        if (c.style & kRight) s |= SS_RIGHT;
        if (c.style & kNotify) s |= SS_NOTIFY;
        break;
    case Kind::DropList:
        if (c.style & kSorted) s |= CBS_SORT;
        break;
    case Kind::ListBox:
        if (c.style & kSorted) s |= LBS_SORT;
        if (c.style & kNoIntegralHeight) s |= LBS_NOINTEGRALHEIGHT;
        break;
    case Kind::Edit:
        s |= (c.style & kMultiLine) ? ES_MULTILINE : ES_AUTOHSCROLL;
        if (c.style & kReadOnly) s |= ES_READONLY;
        if (c.style & kAutoVScroll) s |= ES_AUTOVSCROLL;
        break;
    default:
        break;
    }
    return s;
}

std::vector<BYTE> BuildTemplate(const DialogTemplate& t) {
    TemplateWriter w;
    DWORD style = DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK;
    DWORD ex = 0;
    if (t.style & kChild) {
        style |= WS_CHILD | DS_CONTROL;
        ex |= WS_EX_CONTROLPARENT;
    } else {
        style |= WS_POPUP;
        if (t.style & kCaption) style |= WS_CAPTION;
        if (t.style & kSysMenu) style |= WS_SYSMENU;
        if (t.style & kMinimizeBox) style |= WS_MINIMIZEBOX;
        if (t.style & kModalFrame) style |= DS_MODALFRAME;
        if (t.style & kCentered) style |= DS_CENTER;
        if (t.style & kAppWindow) ex |= WS_EX_APPWINDOW;
    }
    if (t.style & kControlParent) ex |= WS_EX_CONTROLPARENT;
    w.dword(style);
    w.dword(ex);
    w.word(static_cast<WORD>(t.controls.size()));
    w.word(0);
    w.word(0);
    w.word(static_cast<WORD>(t.w));
    w.word(static_cast<WORD>(t.h));
    w.word(0);  // no menu
    w.word(0);  // the dialog class
    w.text(WideAnsi(t.caption));
    w.word(static_cast<WORD>(t.fontSize));
    w.text(WideAnsi(t.fontFace));
    for (const ControlTemplate& c : t.controls) {
        w.align();
        w.dword(StyleOf(c));
        w.dword(c.kind == Kind::Edit && (c.style & kBorder) ? WS_EX_CLIENTEDGE : 0);
        w.word(static_cast<WORD>(c.x));
        w.word(static_cast<WORD>(c.y));
        w.word(static_cast<WORD>(c.w));
        w.word(static_cast<WORD>(c.h));
        w.word(static_cast<WORD>(c.id));
        ControlClass cls = ClassOf(c.kind);
        if (cls.atom) {
            w.word(0xFFFF);
            w.word(cls.atom);
        } else {
            w.text(cls.name);
        }
        if (c.kind == Kind::Icon) {
            w.word(0xFFFF);
            w.word(static_cast<WORD>(std::atoi(c.text.c_str())));
        } else {
            w.text(WideAnsi(c.text));
        }
        w.word(0);  // no creation data
    }
    return std::move(w.bytes());
}

// ---------------------------------------------------------------- the back end

struct Colors {
    Color text = kDefaultColor, back = kDefaultColor;
    HBRUSH brush = nullptr;
};

struct Win32Window {
    Dialog* dialog = nullptr;
    HWND hwnd = nullptr;
    bool modal = false;
    std::vector<BYTE> bytes;
    HWND tooltip = nullptr;
    HICON icon = nullptr;
    std::map<int, Colors> colors;
};

COLORREF Resolve(Color c) { return IsSysColor(c) ? GetSysColor(static_cast<int>(c & 0xFF)) : static_cast<COLORREF>(c); }

class Win32Backend;
Win32Backend* theBackend = nullptr;

class Win32Painter : public Painter {
public:
    Win32Painter(HWND hwnd, HDC dc, HICON icon) : hwnd_(hwnd), dc_(dc), icon_(icon) {
        RECT r{0, 0, 4, 8};
        MapDialogRect(hwnd_, &r);
        baseX_ = r.right > 0 ? r.right : 1;
        baseY_ = r.bottom > 0 ? r.bottom : 1;
    }
    Rect ClientRect() override {
        RECT r;
        GetClientRect(hwnd_, &r);
        return Rect{0, 0, r.right * 4 / baseX_, r.bottom * 8 / baseY_};
    }
    void DrawText(const Rect& r, const std::string& text, const TextStyle& style) override {
        RECT rc{r.x, r.y, r.x + r.w, r.y + r.h};
        MapDialogRect(hwnd_, &rc);
        HFONT font = CreateFontA(style.font.height, 0, 0, 0, style.font.weight, style.font.italic, style.font.underline,
                                 0, static_cast<BYTE>(style.font.charset), 0, 0, 0,
                                 static_cast<BYTE>(style.font.pitchAndFamily), style.font.face.c_str());
        HGDIOBJ old = SelectObject(dc_, font);
        SetBkMode(dc_, TRANSPARENT);
        if (style.color != kDefaultColor) SetTextColor(dc_, Resolve(style.color));
        ::DrawTextA(dc_, text.c_str(), -1, &rc,
                    style.centered ? DT_SINGLELINE | DT_CENTER | DT_VCENTER : DT_WORDBREAK);
        SelectObject(dc_, old);
        DeleteObject(font);
    }
    void DrawBitmap(int controlId, const plat::Bitmap& bitmap) override {
        HWND ctrl = GetDlgItem(hwnd_, controlId);
        const auto& b = bitmap.fileBytes;
        if (!ctrl || b.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) return;
        BITMAPFILEHEADER fh;
        std::memcpy(&fh, b.data(), sizeof fh);
        if (fh.bfOffBits >= b.size()) return;
        const BITMAPINFO* info = reinterpret_cast<const BITMAPINFO*>(b.data() + sizeof fh);
        RECT rc;
        GetClientRect(ctrl, &rc);
        HDC dc = GetDC(ctrl);
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchDIBits(dc, 0, 0, rc.right, rc.bottom, 0, 0, bitmap.width, bitmap.height, b.data() + fh.bfOffBits,
                      info, DIB_RGB_COLORS, SRCCOPY);
        ReleaseDC(ctrl, dc);
    }
    void DrawIcon(int) override {
        RECT rc;
        GetClientRect(hwnd_, &rc);
        int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
        SendMessageA(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc_), 0);
        ::DrawIcon(dc_, (rc.right - cx + 1) / 2, (rc.bottom - cy + 1) / 2, icon_);
    }

private:
    HWND hwnd_;
    HDC dc_;
    HICON icon_;
    int baseX_, baseY_;
};

class Win32Backend : public Backend {
public:
    Win32Backend() {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
        WNDCLASSA wc{};
        wc.lpfnWndProc = PostedProc;
        wc.hInstance = Instance();
        wc.lpszClassName = "DrivantoUiCalls";
        RegisterClassA(&wc);
        callWindow_ = CreateWindowA("DrivantoUiCalls", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, Instance(), nullptr);
        theBackend = this;
    }

    ~Win32Backend() override {
        for (auto& [key, font] : fonts_) DeleteObject(font);
    }

    Win32Window* data(Dialog& d) { return d.window ? static_cast<Win32Window*>(d.window.get()) : nullptr; }

    HWND ownerWindow(Dialog* owner) {
        if (owner && data(*owner)) return data(*owner)->hwnd;
        if (!modal_.empty()) return data(*modal_.back())->hwnd;
        if (Dialog* main = MainWindow(); main && data(*main)) return data(*main)->hwnd;
        return GetActiveWindow();
    }

    int runModal(Dialog& d, Dialog* owner) override {
        auto w = std::make_shared<Win32Window>();
        w->dialog = &d;
        w->modal = true;
        w->bytes = BuildTemplate(d.Template());
        d.window = w;
        Events::SetParent(d, nullptr);
        modal_.push_back(&d);
        INT_PTR r = DialogBoxIndirectParamA(Instance(), reinterpret_cast<LPCDLGTEMPLATEA>(w->bytes.data()),
                                            ownerWindow(owner), DialogProc, reinterpret_cast<LPARAM>(w.get()));
        modal_.pop_back();
        d.window.reset();
        return static_cast<int>(r);
    }

    bool createChild(Dialog& d, Dialog& parent) override {
        Win32Window* p = data(parent);
        if (!p) return false;
        auto w = std::make_shared<Win32Window>();
        w->dialog = &d;
        w->bytes = BuildTemplate(d.Template());
        d.window = w;
        Events::SetParent(d, &parent);
        HWND h = CreateDialogIndirectParamA(Instance(), reinterpret_cast<LPCDLGTEMPLATEA>(w->bytes.data()), p->hwnd,
                                            DialogProc, reinterpret_cast<LPARAM>(w.get()));
        if (!h) {
            d.window.reset();
            return false;
        }
        return true;
    }

    void destroy(Dialog& d) override {
        Win32Window* w = data(d);
        if (!w || !w->hwnd) {
            d.window.reset();
            return;
        }
        if (w->modal)
            ::EndDialog(w->hwnd, IDCANCEL);
        else
            DestroyWindow(w->hwnd);  // WM_DESTROY releases the data
    }

    void endDialog(Dialog& d, int result) override {
        Win32Window* w = data(d);
        if (!w || !w->hwnd) return;
        if (w->modal)
            ::EndDialog(w->hwnd, result);
        else
            ::ShowWindow(w->hwnd, SW_HIDE);
    }

    void moveTo(Dialog& d, const Rect& r) override {
        Win32Window* w = data(d);
        if (!w || !w->hwnd) return;
        RECT rc{r.x, r.y, r.x + r.w, r.y + r.h};
        HWND parent = GetParent(w->hwnd);
        if (parent) MapDialogRect(parent, &rc);
        SetWindowPos(w->hwnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOZORDER);
    }

    void showWindow(Dialog& d, int show) override {
        if (Win32Window* w = data(d); w && w->hwnd) ::ShowWindow(w->hwnd, show);
    }
    bool isVisible(Dialog& d) override {
        Win32Window* w = data(d);
        return w && w->hwnd && IsWindowVisible(w->hwnd);
    }
    bool isIconic(Dialog& d) override {
        Win32Window* w = data(d);
        return w && w->hwnd && IsIconic(w->hwnd);
    }
    void setCaption(Dialog& d, const std::string& text) override {
        if (Win32Window* w = data(d); w && w->hwnd) SetWindowTextA(w->hwnd, text.c_str());
    }
    std::string caption(Dialog& d) override {
        Win32Window* w = data(d);
        return w && w->hwnd ? WindowText(w->hwnd) : std::string();
    }
    void setIcon(Dialog& d, int iconId) override {
        Win32Window* w = data(d);
        if (!w || !w->hwnd) return;
        HICON icon = LoadIconA(Instance(), MAKEINTRESOURCEA(iconId));
        if (!icon) icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
        w->icon = icon;
        SendMessageA(w->hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(w->hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    void appendSystemMenu(Dialog& d, int commandId, const std::string& text) override {
        Win32Window* w = data(d);
        if (!w || !w->hwnd) return;
        HMENU menu = GetSystemMenu(w->hwnd, FALSE);
        if (!menu) return;
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(commandId), text.c_str());
    }
    void invalidate(Dialog& d) override {
        if (Win32Window* w = data(d); w && w->hwnd) InvalidateRect(w->hwnd, nullptr, TRUE);
    }
    void setTimer(Dialog& d, int timerId, unsigned ms) override {
        if (Win32Window* w = data(d); w && w->hwnd) ::SetTimer(w->hwnd, static_cast<UINT_PTR>(timerId), ms, nullptr);
    }
    void killTimer(Dialog& d, int timerId) override {
        if (Win32Window* w = data(d); w && w->hwnd) ::KillTimer(w->hwnd, static_cast<UINT_PTR>(timerId));
    }

    OpResult control(Dialog& d, int id, Op op, const OpArgs& a) override;

    int messageBox(Dialog* owner, const std::string& caption, const std::string& text, bool yesNo,
                   bool icon) override {
        UINT flags = (yesNo ? MB_YESNO : MB_OK) | (icon ? MB_ICONEXCLAMATION : 0);
        return MessageBoxA(ownerWindow(owner), text.c_str(), caption.c_str(), flags);
    }

    void post(std::function<void()> fn) override {
        {
            std::lock_guard<std::mutex> g(lock_);
            posted_.push_back(std::move(fn));
        }
        PostMessageA(callWindow_, kRunPosted, 0, 0);
    }

    void runPosted() {
        for (;;) {
            std::function<void()> fn;
            {
                std::lock_guard<std::mutex> g(lock_);
                if (posted_.empty()) return;
                fn = std::move(posted_.front());
                posted_.pop_front();
            }
            fn();
        }
    }

    HFONT font(const Font& f) {
        std::string key = f.face + "|" + std::to_string(f.height) + "|" + std::to_string(f.weight) + "|" +
                          std::to_string(f.italic) + std::to_string(f.underline) + "|" + std::to_string(f.charset) +
                          "|" + std::to_string(f.pitchAndFamily);
        auto it = fonts_.find(key);
        if (it != fonts_.end()) return it->second;
        LOGFONTA lf{};
        lf.lfHeight = f.height;
        lf.lfWeight = f.weight;
        lf.lfItalic = f.italic;
        lf.lfUnderline = f.underline;
        lf.lfCharSet = static_cast<BYTE>(f.charset);
        lf.lfPitchAndFamily = static_cast<BYTE>(f.pitchAndFamily);
        std::strncpy(lf.lfFaceName, f.face.c_str(), LF_FACESIZE - 1);  // a longer face name is cut
        HFONT h = CreateFontIndirectA(&lf);
        fonts_[key] = h;
        return h;
    }

    static std::string WindowText(HWND h) {
        int n = GetWindowTextLengthA(h);
        std::string s(static_cast<std::size_t>(n) + 1, '\0');
        GetWindowTextA(h, s.data(), n + 1);
        s.resize(std::strlen(s.c_str()));
        return s;
    }

    static LRESULT CALLBACK PostedProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == kRunPosted) {
            if (theBackend) theBackend->runPosted();
            return 0;
        }
        return DefWindowProcA(h, msg, wp, lp);
    }

    static LRESULT CALLBACK EditSubclass(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
        if (msg == WM_CHAR && wp >= 32) {
            Dialog* d = reinterpret_cast<Dialog*>(ref);
            if (!Events::Char(*d, GetDlgCtrlID(h), static_cast<unsigned>(wp))) {
                MessageBeep(0);
                return 0;
            }
        }
        return DefSubclassProc(h, msg, wp, lp);
    }

    static INT_PTR CALLBACK DialogProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);

    bool quiet = false;  // set while the program itself changes a control

private:
    HWND callWindow_ = nullptr;
    std::mutex lock_;
    std::deque<std::function<void()>> posted_;
    std::vector<Dialog*> modal_;
    std::map<std::string, HFONT> fonts_;
};

Win32Window* DataOf(HWND h) { return reinterpret_cast<Win32Window*>(GetWindowLongPtrA(h, DWLP_USER)); }

INT_PTR CALLBACK Win32Backend::DialogProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        Win32Window* w = reinterpret_cast<Win32Window*>(lp);
        SetWindowLongPtrA(h, DWLP_USER, lp);
        w->hwnd = h;
        for (const ControlTemplate& c : w->dialog->Template().controls)
            if (c.kind == Kind::Edit)
                if (HWND e = GetDlgItem(h, c.id))
                    SetWindowSubclass(e, EditSubclass, 1, reinterpret_cast<DWORD_PTR>(w->dialog));
        return Events::InitDialog(*w->dialog) ? TRUE : FALSE;
    }
    Win32Window* w = DataOf(h);
    if (!w || !w->dialog) return FALSE;
    Dialog& d = *w->dialog;
    switch (msg) {
    case WM_COMMAND: {
        int id = LOWORD(wp), code = HIWORD(wp);
        const ControlTemplate* c = d.Template().find(id);
        if (theBackend && theBackend->quiet && lp) return TRUE;
        // Escape and the close box do nothing while the Cancel button is
        // disabled (a disabled button cannot be clicked, so no click is lost).
        if (id == IDCANCEL) {
            HWND cancel = GetDlgItem(h, IDCANCEL);
            if (cancel && !IsWindowEnabled(cancel)) return TRUE;
        }
        if (c && c->kind == Kind::Static) {
            if (code == STN_CLICKED) {
                Events::StaticClick(d, id);
                Events::Command(d, id, Notify::Clicked);
            }
        } else if (c && (c->kind == Kind::DropList || c->kind == Kind::ListBox)) {
            if (code == CBN_SELCHANGE) Events::Command(d, id, Notify::SelChange);  // LBN_SELCHANGE too
            else if (c->kind == Kind::ListBox && code == LBN_DBLCLK) Events::Command(d, id, Notify::DblClick);
        } else if (code == BN_CLICKED) {
            Events::Command(d, id, Notify::Clicked);
        }
        return TRUE;
    }
    case WM_NOTIFY: {
        const NMHDR* n = reinterpret_cast<const NMHDR*>(lp);
        if (n->code == LVN_ITEMCHANGED && !(theBackend && theBackend->quiet)) {
            const NMLISTVIEW* lv = reinterpret_cast<const NMLISTVIEW*>(lp);
            if ((lv->uChanged & LVIF_STATE) &&
                ((lv->uNewState ^ lv->uOldState) & LVIS_STATEIMAGEMASK) && lv->uOldState != 0)
                Events::Command(d, static_cast<int>(n->idFrom), Notify::ItemChecked);
            else if ((lv->uChanged & LVIF_STATE) && (lv->uNewState & LVIS_SELECTED) && !(lv->uOldState & LVIS_SELECTED))
                Events::Command(d, static_cast<int>(n->idFrom), Notify::SelChange);
        }
        return FALSE;
    }
    case WM_TIMER:
        Events::Timer(d, static_cast<int>(wp));
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        Win32Painter p(h, dc, w->icon);
        Events::Paint(d, p);
        EndPaint(h, &ps);
        return TRUE;
    }
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(w->icon);
    case WM_SYSCOMMAND:
        if (Events::SysCommand(d, static_cast<int>(wp))) {
            SetWindowLongPtrA(h, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        return FALSE;
    case WM_HELP:
        if (Events::Help(d)) {
            SetWindowLongPtrA(h, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    case WM_SHOWWINDOW:
        Events::ShowWindow(d, wp != 0);
        return FALSE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
        int id = GetDlgCtrlID(reinterpret_cast<HWND>(lp));
        auto it = w->colors.find(id);
        if (it == w->colors.end()) return FALSE;
        HDC dc = reinterpret_cast<HDC>(wp);
        if (it->second.text != kDefaultColor) SetTextColor(dc, Resolve(it->second.text));
        if (it->second.back != kDefaultColor) {
            SetBkColor(dc, Resolve(it->second.back));
            if (!it->second.brush) it->second.brush = CreateSolidBrush(Resolve(it->second.back));
            return reinterpret_cast<INT_PTR>(it->second.brush);
        }
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(msg == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE));
    }
    case WM_DESTROY: {
        Events::Destroy(d);
        for (auto& [id, c] : w->colors)
            if (c.brush) DeleteObject(c.brush);
        w->colors.clear();
        if (!w->modal) {
            SetWindowLongPtrA(h, DWLP_USER, 0);
            w->hwnd = nullptr;
            d.window.reset();  // releases w
        } else {
            w->hwnd = nullptr;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

int ListKindOf(Dialog& d, int id) {
    const ControlTemplate* c = d.Template().find(id);
    return c ? static_cast<int>(c->kind) : -1;
}

OpResult Win32Backend::control(Dialog& d, int id, Op op, const OpArgs& a) {
    OpResult r;
    Win32Window* w = data(d);
    if (!w || !w->hwnd) return r;
    if (id == 0 && op == Op::SetFont && a.font) {
        SendMessageA(w->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font(*a.font)), TRUE);
        return r;
    }
    HWND c = GetDlgItem(w->hwnd, id);
    const ControlTemplate* t = d.Template().find(id);
    if (!c || !t) {
        r.value = -1;
        if (op == Op::Exists || op == Op::IsEnabled || op == Op::IsVisible || op == Op::GetCheck || op == Op::GetCount)
            r.value = 0;
        return r;
    }
    quiet = true;
    Kind k = t->kind;
    bool combo = k == Kind::DropList, view = k == Kind::ListView;
    auto send = [&](UINT m, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageA(c, m, wp, lp); };
    auto text = [&](const std::string& s) { return reinterpret_cast<LPARAM>(s.c_str()); };
    int count = combo ? static_cast<int>(send(CB_GETCOUNT))
                      : view ? static_cast<int>(send(LVM_GETITEMCOUNT)) : k == Kind::ListBox ? static_cast<int>(send(LB_GETCOUNT)) : 0;
    auto lvInsert = [&](int index, const std::string& s) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = index < 0 || index > count ? count : index;
        item.pszText = const_cast<char*>(s.c_str());
        return static_cast<int>(send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    };
    auto lvText = [&](int index) {
        char buf[512] = {0};
        LVITEMA item{};
        item.iSubItem = 0;
        item.pszText = buf;
        item.cchTextMax = sizeof buf;
        send(LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        return std::string(buf);
    };
    switch (op) {
    case Op::Exists: r.value = 1; break;
    case Op::GetText: r.text = WindowText(c); break;
    case Op::SetText: SetWindowTextA(c, a.text.c_str()); break;
    case Op::Enable: EnableWindow(c, a.a != 0); break;
    case Op::IsEnabled: r.value = IsWindowEnabled(c) ? 1 : 0; break;
    case Op::Show: ::ShowWindow(c, a.a ? SW_SHOW : SW_HIDE); break;
    case Op::IsVisible: r.value = (GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE) ? 1 : 0; break;
    case Op::Focus: SendMessageA(w->hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(c), TRUE); break;
    case Op::GetRect: r.rect = Rect{t->x, t->y, t->w, t->h}; break;
    case Op::SetCheck: send(BM_SETCHECK, static_cast<WPARAM>(a.a)); break;
    case Op::GetCheck: r.value = static_cast<int>(send(BM_GETCHECK)); break;
    case Op::AddString:
        r.value = view ? lvInsert(-1, a.text) : static_cast<int>(send(combo ? CB_ADDSTRING : LB_ADDSTRING, 0, text(a.text)));
        break;
    case Op::InsertString:
        r.value = view ? lvInsert(a.a, a.text)
                       : static_cast<int>(send(combo ? CB_INSERTSTRING : LB_INSERTSTRING, static_cast<WPARAM>(a.a), text(a.text)));
        break;
    case Op::DeleteString:
        if (view) r.value = send(LVM_DELETEITEM, static_cast<WPARAM>(a.a)) ? count - 1 : -1;
        else r.value = static_cast<int>(send(combo ? CB_DELETESTRING : LB_DELETESTRING, static_cast<WPARAM>(a.a)));
        break;
    case Op::ResetContent: send(view ? LVM_DELETEALLITEMS : combo ? CB_RESETCONTENT : LB_RESETCONTENT); break;
    case Op::GetCount: r.value = count; break;
    case Op::GetCurSel:
        r.value = view ? static_cast<int>(send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED))
                       : static_cast<int>(send(combo ? CB_GETCURSEL : LB_GETCURSEL));
        break;
    case Op::SetCurSel:
        if (view) {
            LVITEMA item{};
            item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            item.state = a.a >= 0 ? LVIS_SELECTED | LVIS_FOCUSED : 0;
            send(LVM_SETITEMSTATE, static_cast<WPARAM>(a.a), reinterpret_cast<LPARAM>(&item));
            r.value = a.a < count ? a.a : -1;
        } else {
            // An index out of range clears the selection, as Windows documents it
            // (not every implementation does so by itself).
            int index = a.a >= 0 && a.a < count ? a.a : -1;
            send(combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index));
            r.value = index;
        }
        break;
    case Op::GetItemText:
        if (a.a < 0 || a.a >= count) {
            r.value = -1;
        } else if (view) {
            r.text = lvText(a.a);
        } else {
            int n = static_cast<int>(send(combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(a.a)));
            std::string s(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
            send(combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(a.a), reinterpret_cast<LPARAM>(s.data()));
            s.resize(std::strlen(s.c_str()));
            r.text = s;
        }
        break;
    case Op::FindPrefix:
    case Op::FindExact:
        if (view) {
            r.value = -1;
            for (int i = 0; i < count && r.value < 0; ++i) {
                std::string s = lvText(i);
                bool hit = op == Op::FindExact ? lstrcmpiA(s.c_str(), a.text.c_str()) == 0
                                               : s.size() >= a.text.size() &&
                                                     CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, s.c_str(),
                                                                    static_cast<int>(a.text.size()), a.text.c_str(),
                                                                    static_cast<int>(a.text.size())) == CSTR_EQUAL;
                if (hit) r.value = i;
            }
        } else {
            UINT m = op == Op::FindExact ? (combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT) : (combo ? CB_FINDSTRING : LB_FINDSTRING);
            r.value = static_cast<int>(send(m, static_cast<WPARAM>(a.a), text(a.text)));
        }
        break;
    case Op::SetItemCheck: {
        LVITEMA item{};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(a.b ? 2 : 1);
        r.value = send(LVM_SETITEMSTATE, static_cast<WPARAM>(a.a), reinterpret_cast<LPARAM>(&item)) ? 1 : 0;
        break;
    }
    case Op::GetItemCheck:
        r.value = ((send(LVM_GETITEMSTATE, static_cast<WPARAM>(a.a), LVIS_STATEIMAGEMASK) >> 12) - 1) == 1 ? 1 : 0;
        break;
    case Op::SetExStyle: send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, a.a); break;
    case Op::GetExStyle: r.value = static_cast<int>(send(LVM_GETEXTENDEDLISTVIEWSTYLE)); break;
    case Op::SetRange: send(PBM_SETRANGE32, static_cast<WPARAM>(a.a), a.b); break;
    case Op::SetPos: r.value = static_cast<int>(send(PBM_SETPOS, static_cast<WPARAM>(a.a))); break;
    case Op::GetPos: r.value = static_cast<int>(send(PBM_GETPOS)); break;
    case Op::AddTooltip: {
        if (!w->tooltip) {
            w->tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, w->hwnd, nullptr, Instance(), nullptr);
        }
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = w->hwnd;
        ti.uId = reinterpret_cast<UINT_PTR>(c);
        ti.lpszText = const_cast<char*>(a.text.c_str());
        SendMessageA(w->tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
        break;
    }
    case Op::SetFont:
        if (a.font) send(WM_SETFONT, reinterpret_cast<WPARAM>(font(*a.font)), TRUE);
        break;
    case Op::SetColors: {
        Colors& col = w->colors[id];
        if (col.brush) DeleteObject(col.brush);
        col = Colors{static_cast<Color>(a.a), static_cast<Color>(a.b), nullptr};
        InvalidateRect(c, nullptr, TRUE);
        break;
    }
    case Op::Invalidate: RedrawWindow(c, nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE); break;
    }
    (void)ListKindOf;
    quiet = false;
    return r;
}

}  // namespace

namespace detail {
std::unique_ptr<Backend> MakeNativeBackend() { return std::make_unique<Win32Backend>(); }
}  // namespace detail

}  // namespace ui
