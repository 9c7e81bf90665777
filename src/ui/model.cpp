#include "ui/model.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/clock.h"
#include "platform/desktop.h"
#include "ui/app_internal.h"
#include "ui/text.h"

namespace ui {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Windows compares list texts without regard to letter case.
int CompareNoCase(const std::string& a, const std::string& b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(Lower(a[i])), y = static_cast<unsigned char>(Lower(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool HasPrefixNoCase(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && CompareNoCase(s.substr(0, prefix.size()), prefix) == 0;
}

// Search after `start`, wrapping round to it (-1 searches from the top).
int FindItem(const std::vector<ModelItem>& items, int start, const std::string& text, bool exact) {
    int n = static_cast<int>(items.size());
    if (n == 0) return -1;
    if (start < -1 || start >= n) start = -1;
    for (int k = 1; k <= n; ++k) {
        int i = (start + k) % n;
        const std::string& s = items[i].text;
        if (exact ? CompareNoCase(s, text) == 0 : HasPrefixNoCase(s, text)) return i;
    }
    return -1;
}

bool IsRadio(Kind k) { return k == Kind::RadioButton || k == Kind::AutoRadioButton; }

std::uint64_t RealNow() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

class ModelPainter : public Painter {
public:
    ModelPainter(ModelWindow& w, std::vector<Painted>& out) : w_(w), out_(out) {}
    Rect ClientRect() override { return Rect{0, 0, w_.rect.w, w_.rect.h}; }
    void DrawText(const Rect& r, const std::string& text, const TextStyle& style) override {
        Painted p;
        p.what = Painted::What::Text;
        p.rect = r;
        p.text = text;
        p.style = style;
        out_.push_back(p);
    }
    void DrawBitmap(int controlId, const plat::Bitmap& bitmap) override {
        Painted p;
        p.what = Painted::What::Bitmap;
        p.id = controlId;
        if (ModelControl* c = w_.find(controlId)) p.rect = c->rect;
        p.width = bitmap.width;
        p.height = bitmap.height;
        out_.push_back(p);
    }
    void DrawIcon(int iconId) override {
        Painted p;
        p.what = Painted::What::Icon;
        p.id = iconId;
        p.rect = ClientRect();
        out_.push_back(p);
    }

private:
    ModelWindow& w_;
    std::vector<Painted>& out_;
};

}  // namespace

bool ModelControl::focusable() const {
    if (!visible || !enabled) return false;
    switch (kind) {
    case Kind::PushButton: case Kind::DefPushButton: case Kind::RadioButton: case Kind::AutoRadioButton:
    case Kind::CheckBox: case Kind::AutoCheckBox: case Kind::DropList: case Kind::ListBox: case Kind::ListView:
        return true;
    case Kind::Edit:
        return true;
    default:
        return false;
    }
}

ModelControl* ModelWindow::find(int id) {
    if (id == kNoId) return nullptr;
    for (ModelControl& c : controls)
        if (c.id == id) return &c;
    return nullptr;
}

ModelBackend::ModelBackend(Hooks hooks, bool virtualTime, std::unique_ptr<Driver> driver)
    : hooks_(hooks), virtualTime_(virtualTime), driver_(std::move(driver)) {
    if (driver_) driver_->attach(*this);
}

ModelBackend::~ModelBackend() = default;

ModelWindow* ModelBackend::window(Dialog& d) {
    return d.window ? static_cast<ModelWindow*>(d.window.get()) : nullptr;
}

ModelWindow& ModelBackend::make(Dialog& d, Dialog* owner, bool child) {
    if (d.window) destroy(d);
    auto w = std::make_shared<ModelWindow>();
    const DialogTemplate& t = d.Template();
    w->dialog = &d;
    w->owner = owner;
    w->child = child;
    w->caption = t.caption;
    w->rect = Rect{0, 0, t.w, t.h};
    for (const ControlTemplate& ct : t.controls) {
        ModelControl c;
        c.id = ct.id;
        c.kind = ct.kind;
        c.rect = Rect{ct.x, ct.y, ct.w, ct.h};
        c.style = ct.style;
        c.text = ct.text;
        c.enabled = !(ct.style & kDisabled);
        c.visible = !(ct.style & kHidden);
        w->controls.push_back(std::move(c));
    }
    if (!child && hooks_.desktop) w->hwnd = hooks_.desktop->registerOwnWindow(w->caption);
    d.window = w;
    allWindows_.push_back(&d);
    Events::SetParent(d, child ? owner : nullptr);
    return *w;
}

int ModelBackend::runModal(Dialog& d, Dialog* owner) {
    if (!owner) owner = activeModal();
    ModelWindow& w = make(d, owner, false);
    w.modal = true;
    modalStack_.push_back(&d);
    bool focusFirst = Events::InitDialog(d);
    (void)focusFirst;
    ModelWindow* live = window(d);
    if (live && !live->ended) {
        live->visible = true;
        if (hooks_.desktop && live->hwnd) hooks_.desktop->setOwnWindowState(live->hwnd, SW_SHOW);
        Events::ShowWindow(d, true);
    }
    while ((live = window(d)) && !live->ended) {
        runPosted();
        live = window(d);
        if (!live || live->ended) break;
        driver_->step(*this);
    }
    int result = live ? live->result : IDCANCEL;
    modalStack_.erase(std::remove(modalStack_.begin(), modalStack_.end(), &d), modalStack_.end());
    if (live) {
        if (live->visible) {
            live->visible = false;
            Events::ShowWindow(d, false);
        }
        destroy(d);
    }
    return result;
}

bool ModelBackend::createChild(Dialog& d, Dialog& parent) {
    if (!parent.window) return false;
    make(d, &parent, true);
    Events::InitDialog(d);
    return d.window != nullptr;
}

void ModelBackend::destroy(Dialog& d) {
    ModelWindow* w = window(d);
    if (!w) return;
    // Pages go with their parent, first.
    for (Dialog* page : pagesOf(d)) destroy(*page);
    Events::Destroy(d);
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.dialog == &d; }),
                  timers_.end());
    if (hooks_.desktop && w->hwnd) hooks_.desktop->unregisterOwnWindow(w->hwnd);
    for (auto it = focus_.begin(); it != focus_.end();)
        it = (it->first == &d || it->second.first == &d) ? focus_.erase(it) : std::next(it);
    allWindows_.erase(std::remove(allWindows_.begin(), allWindows_.end(), &d), allWindows_.end());
    modalStack_.erase(std::remove(modalStack_.begin(), modalStack_.end(), &d), modalStack_.end());
    d.window.reset();
}

std::vector<Dialog*> ModelBackend::pagesOf(Dialog& d) {
    std::vector<Dialog*> out;
    for (Dialog* x : allWindows_) {
        ModelWindow* w = window(*x);
        if (w && w->child && w->owner == &d) out.push_back(x);
    }
    return out;
}

void ModelBackend::endDialog(Dialog& d, int result) {
    ModelWindow* w = window(d);
    if (!w) return;
    if (!w->modal) {
        // A page or a modeless window: EndDialog only hides it.
        showWindow(d, SW_HIDE);
        return;
    }
    w->ended = true;
    w->result = result;
}

void ModelBackend::moveTo(Dialog& d, const Rect& r) {
    if (ModelWindow* w = window(d)) w->rect = r;
}

void ModelBackend::showWindow(Dialog& d, int show) {
    ModelWindow* w = window(d);
    if (!w) return;
    bool wasVisible = w->visible;
    if (show == SW_MINIMIZE || show == SW_SHOWMINIMIZED) {
        w->minimized = true;
        w->visible = true;
    } else if (show == SW_HIDE) {
        w->visible = false;
    } else {
        w->visible = true;
        if (show == SW_RESTORE || show == SW_SHOWNORMAL) w->minimized = false;
    }
    if (hooks_.desktop && w->hwnd) hooks_.desktop->setOwnWindowState(w->hwnd, show);
    if (wasVisible != w->visible) Events::ShowWindow(d, w->visible);
}

bool ModelBackend::isVisible(Dialog& d) {
    ModelWindow* w = window(d);
    return w && w->visible;
}

bool ModelBackend::isIconic(Dialog& d) {
    ModelWindow* w = window(d);
    return w && w->minimized;
}

void ModelBackend::setCaption(Dialog& d, const std::string& text) {
    ModelWindow* w = window(d);
    if (!w) return;
    w->caption = text;
    if (hooks_.desktop && w->hwnd) hooks_.desktop->setOwnWindowTitle(w->hwnd, text);
}

std::string ModelBackend::caption(Dialog& d) {
    ModelWindow* w = window(d);
    return w ? w->caption : std::string();
}

void ModelBackend::setIcon(Dialog& d, int iconId) {
    if (ModelWindow* w = window(d)) w->icon = iconId;
}

void ModelBackend::appendSystemMenu(Dialog& d, int commandId, const std::string& text) {
    if (ModelWindow* w = window(d)) w->systemMenu.emplace_back(commandId, text);
}

void ModelBackend::invalidate(Dialog&) {}

void ModelBackend::setTimer(Dialog& d, int timerId, unsigned ms) {
    if (ms == 0) ms = 1;  // as Windows raises a zero period to its minimum
    std::uint64_t due = now() + ms;
    for (Timer& t : timers_)
        if (t.dialog == &d && t.id == timerId) {
            t.period = ms;
            t.due = due;
            return;
        }
    timers_.push_back(Timer{&d, timerId, ms, due});
}

void ModelBackend::killTimer(Dialog& d, int timerId) {
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                                 [&](const Timer& t) { return t.dialog == &d && t.id == timerId; }),
                  timers_.end());
}

OpResult ModelBackend::control(Dialog& d, int id, Op op, const OpArgs& a) {
    OpResult r;
    ModelWindow* w = window(d);
    if (!w) return r;
    if (id == 0 && op == Op::SetFont && a.font) {
        w->font = *a.font;
        w->hasFont = true;
        return r;
    }
    ModelControl* c = w->find(id);
    if (!c) {
        if (op == Op::GetCurSel || op == Op::FindPrefix || op == Op::FindExact || op == Op::AddString ||
            op == Op::InsertString || op == Op::DeleteString || op == Op::SetCurSel)
            r.value = -1;
        return r;
    }
    int n = static_cast<int>(c->items.size());
    switch (op) {
    case Op::Exists: r.value = 1; break;
    case Op::GetText: r.text = c->text; break;
    case Op::SetText: c->text = a.text; c->scrollTop = 0; break;
    case Op::Enable: c->enabled = a.a != 0; break;
    case Op::IsEnabled: r.value = c->enabled; break;
    case Op::Show: c->visible = a.a != 0; break;
    case Op::IsVisible: r.value = c->visible; break;
    case Op::Focus: setFocus(&d, id); break;
    case Op::GetRect: r.rect = c->rect; break;
    case Op::SetCheck: c->check = a.a; break;
    case Op::GetCheck: r.value = c->check; break;
    case Op::AddString:
    case Op::InsertString: {
        int at = n;
        if (op == Op::InsertString && a.a >= 0) {
            if (a.a > n && c->kind != Kind::ListView) { r.value = -1; break; }
            at = std::min(a.a, n);
        } else if (op == Op::AddString && (c->style & kSorted)) {
            at = 0;
            while (at < n && CompareNoCase(c->items[at].text, a.text) <= 0) ++at;
        }
        c->items.insert(c->items.begin() + at, ModelItem{a.text, false});
        if (c->sel >= at) ++c->sel;
        r.value = at;
        break;
    }
    case Op::DeleteString:
        if (a.a < 0 || a.a >= n) { r.value = -1; break; }
        c->items.erase(c->items.begin() + a.a);
        if (c->sel == a.a) c->sel = -1;
        else if (c->sel > a.a) --c->sel;
        r.value = n - 1;
        break;
    case Op::ResetContent: c->items.clear(); c->sel = -1; c->scrollTop = 0; break;
    case Op::GetCount: r.value = n; break;
    case Op::GetCurSel: r.value = c->sel; break;
    case Op::SetCurSel:
        if (a.a < -1 || a.a >= n) { c->sel = -1; r.value = -1; break; }
        c->sel = a.a;
        r.value = a.a;
        break;
    case Op::GetItemText:
        if (a.a >= 0 && a.a < n) r.text = c->items[a.a].text;
        else r.value = -1;
        break;
    case Op::FindPrefix: r.value = FindItem(c->items, a.a, a.text, false); break;
    case Op::FindExact: r.value = FindItem(c->items, a.a, a.text, true); break;
    case Op::SetItemCheck:
        if (a.a >= 0 && a.a < n) { c->items[a.a].checked = a.b != 0; r.value = 1; }
        break;
    case Op::GetItemCheck: r.value = a.a >= 0 && a.a < n && c->items[a.a].checked; break;
    case Op::SetExStyle: c->exStyle = static_cast<std::uint32_t>(a.a); break;
    case Op::GetExStyle: r.value = static_cast<int>(c->exStyle); break;
    case Op::SetRange: c->rangeLow = a.a; c->rangeHigh = a.b; c->pos = std::clamp(c->pos, std::min(a.a, a.b), std::max(a.a, a.b)); break;
    case Op::SetPos:
        r.value = c->pos;
        c->pos = std::clamp(a.a, std::min(c->rangeLow, c->rangeHigh), std::max(c->rangeLow, c->rangeHigh));
        // A bar moved inside a long handler is shown at once, as a progress control repaints itself.
        if (driver_) driver_->progressed(*this);
        break;
    case Op::GetPos: r.value = c->pos; break;
    case Op::AddTooltip: c->tooltip = a.text; break;
    case Op::SetFont:
        if (a.font) { c->font = *a.font; c->hasFont = true; }
        break;
    case Op::SetColors: c->textColor = static_cast<Color>(a.a); c->backColor = static_cast<Color>(a.b); break;
    case Op::Invalidate: break;
    }
    return r;
}

int ModelBackend::messageBox(Dialog* owner, const std::string& caption, const std::string& text, bool yesNo,
                             bool icon) {
    if (!owner) owner = activeModal();
    plat::Hwnd hwnd = hooks_.desktop ? hooks_.desktop->registerOwnWindow(caption) : 0;
    int r = driver_->messageBox(*this, owner, caption, text, yesNo, icon);
    if (hooks_.desktop && hwnd) hooks_.desktop->unregisterOwnWindow(hwnd);
    return r;
}

void ModelBackend::post(std::function<void()> fn) {
    std::lock_guard<std::mutex> g(postLock_);
    posted_.push_back(std::move(fn));
    postCv_.notify_all();
}

bool ModelBackend::runPosted() {
    bool any = false;
    for (;;) {
        std::function<void()> fn;
        {
            std::lock_guard<std::mutex> g(postLock_);
            if (posted_.empty()) break;
            fn = std::move(posted_.front());
            posted_.pop_front();
        }
        fn();
        any = true;
    }
    return any;
}

bool ModelBackend::waitPosted(int realMs) {
    std::unique_lock<std::mutex> g(postLock_);
    return postCv_.wait_for(g, std::chrono::milliseconds(realMs), [&] { return !posted_.empty(); });
}

int ModelBackend::finish() { return driver_ ? driver_->finish(*this) : 0; }

std::uint64_t ModelBackend::now() {
    if (!virtualTime_) return RealNow();
    if (hooks_.clock) return hooks_.clock->tickCount();
    return virtualNow_;
}

void ModelBackend::advanceTo(std::uint64_t t) {
    std::uint64_t n = now();
    if (t <= n) return;
    if (hooks_.clock)
        hooks_.clock->sleep(static_cast<std::uint32_t>(std::min<std::uint64_t>(t - n, 0xFFFFFFFFu)));
    else
        virtualNow_ = t;
}

bool ModelBackend::nextTimerDue(std::uint64_t* due) {
    if (timers_.empty()) return false;
    std::uint64_t best = timers_.front().due;
    for (const Timer& t : timers_) best = std::min(best, t.due);
    *due = best;
    return true;
}

bool ModelBackend::fireNextTimer() {
    if (timers_.empty()) return false;
    auto it = std::min_element(timers_.begin(), timers_.end(),
                               [](const Timer& a, const Timer& b) { return a.due < b.due; });
    advanceTo(it->due);
    Timer t = *it;
    it->due = std::max(now(), t.due) + t.period;
    ++timerEvents_;
    Events::Timer(*t.dialog, t.id);
    return true;
}

void ModelBackend::fireDueTimers() {
    std::uint64_t n = now();
    std::vector<Timer> due;
    for (Timer& t : timers_)
        if (t.due <= n) {
            due.push_back(t);
            t.due = n + t.period;
        }
    for (const Timer& t : due) {
        // An earlier handler may have killed it.
        bool alive = std::any_of(timers_.begin(), timers_.end(),
                                 [&](const Timer& x) { return x.dialog == t.dialog && x.id == t.id; });
        if (!alive) continue;
        ++timerEvents_;
        Events::Timer(*t.dialog, t.id);
    }
}

std::pair<Dialog*, int> ModelBackend::focus() {
    Dialog* top = activeModal();
    auto it = top ? focus_.find(top) : focus_.end();
    return it == focus_.end() ? std::pair<Dialog*, int>{nullptr, kNoId} : it->second;
}

void ModelBackend::setFocus(Dialog* d, int id) {
    Dialog* top = d;
    for (ModelWindow* w = top ? window(*top) : nullptr; w && w->child && w->owner; w = window(*top)) top = w->owner;
    if (top) focus_[top] = {d, id};
}

Dialog* ModelBackend::activeModal() { return modalStack_.empty() ? nullptr : modalStack_.back(); }

std::vector<Dialog*> ModelBackend::visiblePages(Dialog& top) {
    std::vector<Dialog*> out;
    for (Dialog* p : pagesOf(top)) {
        ModelWindow* w = window(*p);
        if (w && w->visible) {
            out.push_back(p);
            for (Dialog* inner : visiblePages(*p)) out.push_back(inner);
        }
    }
    return out;
}

ModelControl* ModelBackend::reach(Dialog& top, int id, Dialog** where) {
    std::vector<Dialog*> order{&top};
    for (Dialog* p : visiblePages(top)) order.push_back(p);
    // Hidden pages last: their controls are there, but out of reach.
    std::vector<Dialog*> all{&top};
    for (std::size_t i = 0; i < all.size(); ++i)
        for (Dialog* p : pagesOf(*all[i])) {
            all.push_back(p);
            if (std::find(order.begin(), order.end(), p) == order.end()) order.push_back(p);
        }
    // A visible control wins over a hidden one with the same id.
    ModelControl* hidden = nullptr;
    Dialog* hiddenWhere = nullptr;
    for (Dialog* d : order) {
        ModelWindow* w = window(*d);
        if (!w) continue;
        if (ModelControl* c = w->find(id)) {
            if (c->visible && w->visible) {
                *where = d;
                return c;
            }
            if (!hidden) {
                hidden = c;
                hiddenWhere = d;
            }
        }
    }
    *where = hiddenWhere;
    return hidden;
}

void ModelBackend::notify(Dialog& holder, int id, Notify code) { Events::Command(holder, id, code); }

// The radio buttons of c's group: from the nearest group start before it to
// the next group start or the first control that is not a radio button.
static std::vector<ModelControl*> RadioGroup(ModelWindow& w, ModelControl& c) {
    std::size_t at = static_cast<std::size_t>(&c - w.controls.data());
    std::size_t first = at;
    while (first > 0 && !(w.controls[first].style & kGroup) && IsRadio(w.controls[first - 1].kind)) --first;
    std::vector<ModelControl*> out;
    for (std::size_t i = first; i < w.controls.size(); ++i) {
        if (i > first && (!IsRadio(w.controls[i].kind) || (w.controls[i].style & kGroup))) break;
        out.push_back(&w.controls[i]);
    }
    return out;
}

void ModelBackend::pressControl(Dialog& holder, ModelControl& c) {
    ModelWindow* w = window(holder);
    if (!w) return;
    int id = c.id;
    setFocus(&holder, id);
    if (c.kind == Kind::AutoRadioButton) {
        for (ModelControl* r : RadioGroup(*w, c)) r->check = 0;
        c.check = 1;
    } else if (c.kind == Kind::AutoCheckBox) {
        c.check = c.check ? 0 : 1;
    }
    if (c.kind == Kind::Static) {
        Events::StaticClick(holder, id);
        return;
    }
    notify(holder, id, Notify::Clicked);
}

void ModelBackend::selectIndex(Dialog& holder, ModelControl& c, int index) {
    setFocus(&holder, c.id);
    c.sel = index;
    notify(holder, c.id, Notify::SelChange);
}

void ModelBackend::toggleItem(Dialog& holder, ModelControl& c, int index) {
    if (index < 0 || index >= static_cast<int>(c.items.size())) return;
    setFocus(&holder, c.id);
    c.items[index].checked = !c.items[index].checked;
    notify(holder, c.id, Notify::ItemChecked);
}

void ModelBackend::systemCommand(Dialog& top, int command) {
    // SC_CLOSE, unhandled, acts as Escape (and so does nothing while Cancel is disabled).
    if (!Events::SysCommand(top, command) && (command & kSysCommandMask) == 0xF060) key(top, Key::Escape);
}

static std::string Usable(ModelControl* c, Dialog* where, ModelWindow* ww, int id) {
    if (!c) return "there is no control " + std::to_string(id);
    if (!c->visible || !ww || !ww->visible) return std::string("control ") + std::to_string(id) + " (" + KindName(c->kind) + ") is hidden";
    if (!c->enabled) return std::string("control ") + std::to_string(id) + " (" + KindName(c->kind) + ") is disabled";
    (void)where;
    return "";
}

std::string ModelBackend::click(Dialog& top, int id) {
    Dialog* where = nullptr;
    ModelControl* c = reach(top, id, &where);
    std::string why = Usable(c, where, where ? window(*where) : nullptr, id);
    if (!why.empty()) return why;
    if (!IsButtonKind(c->kind) && !(c->kind == Kind::Static && (c->style & kNotify)))
        return std::string("control ") + std::to_string(id) + " is a " + KindName(c->kind) + ", not a button";
    pressControl(*where, *c);
    return "";
}

std::string ModelBackend::select(Dialog& top, int id, const std::string& text) {
    Dialog* where = nullptr;
    ModelControl* c = reach(top, id, &where);
    std::string why = Usable(c, where, where ? window(*where) : nullptr, id);
    if (!why.empty()) return why;
    if (!IsListKind(c->kind)) return std::string("control ") + std::to_string(id) + " is a " + KindName(c->kind) + ", not a list";
    for (std::size_t i = 0; i < c->items.size(); ++i)
        if (c->items[i].text == text) {
            selectIndex(*where, *c, static_cast<int>(i));
            return "";
        }
    return "list " + std::to_string(id) + " has no item \"" + AnsiToUtf8(text) + "\"";
}

std::string ModelBackend::checkItem(Dialog& top, int id, const std::string& text, bool on) {
    Dialog* where = nullptr;
    ModelControl* c = reach(top, id, &where);
    std::string why = Usable(c, where, where ? window(*where) : nullptr, id);
    if (!why.empty()) return why;
    if (c->kind != Kind::ListView || !(c->exStyle & kLvCheckBoxes))
        return "control " + std::to_string(id) + " is not a list view with check boxes";
    for (std::size_t i = 0; i < c->items.size(); ++i)
        if (c->items[i].text == text) {
            if (c->items[i].checked != on) toggleItem(*where, *c, static_cast<int>(i));
            return "";
        }
    return "list view " + std::to_string(id) + " has no item \"" + AnsiToUtf8(text) + "\"";
}

std::string ModelBackend::key(Dialog& top, Key k, Dialog* focusDialog) {
    ModelWindow* w = window(top);
    if (!w) return "no dialog";
    switch (k) {
    case Key::Enter: {
        // The default push button (on the dialog or a shown page), else IDOK.
        Dialog* where = &top;
        ModelControl* def = nullptr;
        std::vector<Dialog*> order{&top};
        for (Dialog* p : visiblePages(top)) order.push_back(p);
        for (Dialog* d : order) {
            ModelWindow* dw = window(*d);
            for (ModelControl& c : dw->controls)
                if (c.kind == Kind::DefPushButton && c.visible && !def) {
                    def = &c;
                    where = d;
                }
        }
        if (!def) def = w->find(IDOK), where = &top;
        if (def && (!def->enabled || !def->visible))
            return "the default button " + std::to_string(def->id) + " is " + (def->enabled ? "hidden" : "disabled");
        Events::Command(*where, def ? def->id : IDOK, Notify::Clicked);
        return "";
    }
    case Key::Escape: {
        // Escape is the Cancel button; while that button is disabled it does nothing.
        ModelControl* cancel = w->find(IDCANCEL);
        if (cancel && !cancel->enabled) return "the Cancel button is disabled";
        Events::Command(top, IDCANCEL, Notify::Clicked);
        return "";
    }
    case Key::F1: {
        // WM_HELP goes to the window with the focus and up its parents.
        Dialog* f = focus().first;
        Dialog* d = focusDialog ? focusDialog : (f && window(*f) ? f : &top);
        while (d) {
            if (Events::Help(*d)) break;
            if (d == &top) break;
            Dialog* parent = Events::Parent(*d);
            d = parent ? parent : &top;
        }
        return "";
    }
    }
    return "";
}

std::vector<Painted> ModelBackend::paint(Dialog& d) {
    std::vector<Painted> out;
    ModelWindow* w = window(d);
    if (!w) return out;
    ModelPainter p(*w, out);
    Events::Paint(d, p);
    return out;
}

static std::string ColorText(Color c) {
    if (IsSysColor(c)) return "sys" + std::to_string(c & 0xFF);
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return buf;
}

void ModelBackend::dumpWindow(std::string& out, Dialog& d, const char* what) {
    ModelWindow* w = window(d);
    if (!w) return;
    out += std::string(what) + " " + std::to_string(d.Template().id);
    if (w->minimized) out += " minimized";
    out += "\n";
    for (ModelControl& c : w->controls) {
        out += "  " + (c.id == kNoId ? std::string("-") : std::to_string(c.id)) + " " + KindName(c.kind) + " " +
               Quoted(AnsiToUtf8(c.text)) + (c.enabled ? " enabled" : " disabled") + (c.visible ? " shown" : " hidden");
        if (IsButtonKind(c.kind) && c.kind != Kind::PushButton && c.kind != Kind::DefPushButton)
            out += c.check ? " checked" : " unchecked";
        if (IsListKind(c.kind)) {
            bool boxes = c.kind == Kind::ListView && (c.exStyle & kLvCheckBoxes);
            out += " items=[";
            for (std::size_t i = 0; i < c.items.size(); ++i) {
                if (i) out += ",";
                if (boxes) out += c.items[i].checked ? "[x]" : "[ ]";
                out += Quoted(AnsiToUtf8(c.items[i].text));
            }
            out += "] sel=" + std::to_string(c.sel);
        }
        if (c.kind == Kind::Progress)
            out += " range=" + std::to_string(c.rangeLow) + ".." + std::to_string(c.rangeHigh) + " pos=" + std::to_string(c.pos);
        if (!c.tooltip.empty()) out += " tip=" + Quoted(AnsiToUtf8(c.tooltip));
        if (c.textColor != kDefaultColor) out += " color=" + ColorText(c.textColor);
        if (c.backColor != kDefaultColor) out += " back=" + ColorText(c.backColor);
        out += "\n";
    }
    for (const Painted& p : paint(d)) {
        if (p.what == Painted::What::Text) out += "  paint text " + Quoted(AnsiToUtf8(p.text)) + "\n";
        else if (p.what == Painted::What::Bitmap)
            out += "  paint bitmap " + std::to_string(p.id) + " " + std::to_string(p.width) + "x" + std::to_string(p.height) + "\n";
        else out += "  paint icon " + std::to_string(p.id) + "\n";
    }
    for (Dialog* page : pagesOf(d)) {
        ModelWindow* pw = window(*page);
        if (pw && pw->visible) dumpWindow(out, *page, "page");
    }
    if (!w->child) out += "caption " + Quoted(AnsiToUtf8(w->caption)) + "\n";
}

std::string ModelBackend::dump(Dialog& top) {
    std::string out;
    dumpWindow(out, top, "dialog");
    return out;
}

namespace detail {

std::unique_ptr<Backend> MakeModelBackend(const RunOptions& options) {
    bool script = options.display == Display::Script;
    std::unique_ptr<Driver> driver = script ? MakeScriptDriver(options) : MakeTerminalDriver();
    if (!driver) return nullptr;
    return std::make_unique<ModelBackend>(options.hooks, script, std::move(driver));
}

}  // namespace detail

}  // namespace ui
