// The terminal front end: draws the model's dialogs with curses (4 dialog
// units across and 8 down per character cell) and turns keys into the user
// actions of the model. Texts are converted from ANSI to UTF-8 for display
// only.
#define NCURSES_WIDECHAR 1
#include <curses.h>
#include <langinfo.h>
#include <wchar.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win_types.h"
#include "ui/model.h"
#include "ui/text.h"

namespace ui {
namespace {

enum Pair : short {
    kDesktop = 1, kWindow, kTitle, kFocus, kField, kFieldSel, kBar, kShadow, kStatus, kPicture, kFirstCustom
};

// ---------------------------------------------------------------- text cells

std::wstring Wide(const std::string& utf8) {
    std::wstring out;
    std::mbstate_t st{};
    const char* p = utf8.data();
    const char* end = p + utf8.size();
    while (p < end) {
        wchar_t wc;
        std::size_t n = std::mbrtowc(&wc, p, end - p, &st);
        if (n == static_cast<std::size_t>(-1) || n == static_cast<std::size_t>(-2)) {
            out += L'?';
            ++p;
            st = std::mbstate_t{};
            continue;
        }
        if (n == 0) n = 1;
        out += wc;
        p += n;
    }
    return out;
}

int CellWidth(wchar_t c) {
    int w = wcwidth(c);
    return w < 0 ? 1 : w;
}

int Width(const std::wstring& s) {
    int w = 0;
    for (wchar_t c : s) w += CellWidth(c);
    return w;
}

// Writes at most `cols` cells.
void Put(int row, int col, const std::wstring& s, int cols, attr_t attr, short pair) {
    if (row < 0 || row >= LINES || cols <= 0) return;
    attr_set(attr, pair, nullptr);
    int c = col;
    for (wchar_t ch : s) {
        int w = CellWidth(ch);
        if (c + w > col + cols) break;
        if (ch < 32) ch = L' ';
        if (c >= 0 && c + w <= COLS) {
            wchar_t buf[2] = {ch, 0};
            mvaddnwstr(row, c, buf, 1);
        }
        c += w;
    }
}

void Fill(int row, int col, int rows, int cols, attr_t attr, short pair, wchar_t ch = L' ') {
    std::wstring line(static_cast<std::size_t>(std::max(cols, 0)), ch);
    for (int r = row; r < row + rows; ++r) Put(r, col, line, cols, attr, pair);
}

void DrawBox(int row, int col, int rows, int cols, attr_t attr, short pair) {
    if (rows < 2 || cols < 2) return;
    Put(row, col, L"┌" + std::wstring(cols - 2, L'─') + L"┐", cols, attr, pair);
    for (int r = row + 1; r < row + rows - 1; ++r) {
        Put(r, col, L"│", 1, attr, pair);
        Put(r, col + cols - 1, L"│", 1, attr, pair);
    }
    Put(row + rows - 1, col, L"└" + std::wstring(cols - 2, L'─') + L"┘", cols, attr, pair);
}

// Word-wrapped lines of a text (CR LF and LF break lines).
std::vector<std::wstring> Wrap(const std::wstring& text, int width) {
    std::vector<std::wstring> lines;
    if (width <= 0) return lines;
    std::wstring para;
    auto flush = [&](const std::wstring& p) {
        std::wstring line;
        int lw = 0;
        std::size_t i = 0;
        if (p.empty()) {
            lines.push_back(L"");
            return;
        }
        while (i < p.size()) {
            std::size_t j = i;
            while (j < p.size() && p[j] != L' ') ++j;
            std::wstring word = p.substr(i, j - i);
            int ww = Width(word);
            if (lw > 0 && lw + 1 + ww > width) {
                lines.push_back(line);
                line.clear();
                lw = 0;
            }
            if (lw > 0) {
                line += L' ';
                ++lw;
            }
            for (wchar_t c : word) {
                if (lw + CellWidth(c) > width) {
                    lines.push_back(line);
                    line.clear();
                    lw = 0;
                }
                line += c;
                lw += CellWidth(c);
            }
            i = j < p.size() ? j + 1 : j;
        }
        lines.push_back(line);
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r') continue;
        if (text[i] == L'\n') {
            flush(para);
            para.clear();
        } else {
            para += text[i];
        }
    }
    if (!para.empty()) flush(para);
    return lines;
}

std::wstring Display(const std::string& ansi) { return Wide(AnsiToUtf8(ansi)); }

// The eight curses colours for a COLORREF.
short NearestColor(Color c) {
    if (IsSysColor(c)) {
        int index = static_cast<int>(c & 0xFF);
        return index == 8 || index == 18 ? COLOR_BLACK : index == 13 || index == 2 ? COLOR_BLUE : COLOR_WHITE;
    }
    int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    static const struct { short curses; int r, g, b; } table[] = {
        {COLOR_BLACK, 0, 0, 0},     {COLOR_RED, 205, 0, 0},     {COLOR_GREEN, 0, 205, 0},
        {COLOR_YELLOW, 205, 205, 0}, {COLOR_BLUE, 0, 0, 238},    {COLOR_MAGENTA, 255, 160, 255},
        {COLOR_CYAN, 0, 205, 205},  {COLOR_WHITE, 229, 229, 229},
    };
    short best = COLOR_BLACK;
    long bestD = -1;
    for (const auto& t : table) {
        long d = (r - t.r) * (r - t.r) + (g - t.g) * (g - t.g) + (b - t.b) * (b - t.b);
        if (bestD < 0 || d < bestD) {
            bestD = d;
            best = t.curses;
        }
    }
    return best;
}

// ---------------------------------------------------------------- layout

// A control's cells relative to its window's client origin.
struct Cells {
    int row, col, rows, cols;
};

bool OneLine(Kind k) {
    switch (k) {
    case Kind::Static: case Kind::PushButton: case Kind::DefPushButton: case Kind::RadioButton:
    case Kind::AutoRadioButton: case Kind::CheckBox: case Kind::AutoCheckBox: case Kind::DropList:
    case Kind::Progress: case Kind::EtchedLine:
        return true;
    default:
        return false;
    }
}

Cells Place(const ModelControl& c) {
    int col = (c.rect.x + 2) / 4;
    int cols = std::max(1, (c.rect.x + c.rect.w + 2) / 4 - col);
    bool multiStatic = c.kind == Kind::Static && c.rect.h >= 16;
    if (OneLine(c.kind) && !multiStatic) {
        int h = c.kind == Kind::DropList ? std::min(c.rect.h, 14) : c.rect.h;
        return Cells{(c.rect.y + h / 2) / 8, col, 1, cols};
    }
    int row = (c.rect.y + 4) / 8;
    // A group box rounds its bottom edge down the screen, so that what stands
    // inside it in dialog units stays inside it in cells.
    int bottom = c.kind == Kind::GroupBox ? (c.rect.y + c.rect.h + 7) / 8 : (c.rect.y + c.rect.h + 4) / 8;
    int rows = std::max(1, bottom - row);
    return Cells{row, col, rows, cols};
}

// Windows draws "&x" in a label as an underlined x and "&&" as "&".
std::string StripMnemonics(const std::string& ansi) {
    std::string out;
    out.reserve(ansi.size());
    for (std::size_t i = 0; i < ansi.size(); ++i) {
        if (ansi[i] == '&') {
            if (++i < ansi.size()) out += ansi[i];
            continue;
        }
        out += ansi[i];
    }
    return out;
}

bool ShowsMnemonics(Kind k) {
    switch (k) {
    case Kind::Static: case Kind::GroupBox: case Kind::PushButton: case Kind::DefPushButton:
    case Kind::RadioButton: case Kind::AutoRadioButton: case Kind::CheckBox: case Kind::AutoCheckBox:
        return true;
    default:
        return false;
    }
}

struct Placed {
    Dialog* dialog;
    ModelWindow* window;
    int row, col;  // client origin on the screen
};

class TerminalDriver : public Driver {
public:
    ~TerminalDriver() override { stop(); }

    void attach(ModelBackend& m) override { model_ = &m; }

    void step(ModelBackend& m) override {
        start();
        Dialog* top = m.activeModal();
        if (!top) return;
        draw(m, nullptr);
        int k = readKey(m);
        if (k != ERR) handleKey(m, *top, k);
        m.fireDueTimers();
    }

    int messageBox(ModelBackend& m, Dialog*, const std::string& caption, const std::string& text, bool yesNo,
                   bool icon) override {
        start();
        Box b{caption, text, yesNo, icon, 0};
        int answer = 0;
        while (answer == 0) {
            draw(m, &b);
            int k = readKey(m);
            m.runPosted();
            m.fireDueTimers();
            if (k == ERR) continue;
            int buttons = yesNo ? 2 : 1;
            switch (k) {
            case '\t': case KEY_RIGHT: case KEY_BTAB: case KEY_LEFT:
                b.focus = (b.focus + 1) % buttons;
                break;
            case '\n': case '\r': case KEY_ENTER: case ' ':
                answer = yesNo ? (b.focus == 0 ? IDYES : IDNO) : IDOK;
                break;
            case 'y': case 'Y':
                if (yesNo) answer = IDYES;
                break;
            case 'n': case 'N':
                if (yesNo) answer = IDNO;
                break;
            case 27:
                if (!yesNo) answer = IDOK;  // a Yes/No box has no Cancel: Escape does nothing
                break;
            default:
                break;
            }
        }
        return answer;
    }

    int finish(ModelBackend&) override {
        stop();
        return 0;
    }

    void progressed(ModelBackend& m) override {
        if (!started_ || drawing_) return;
        std::uint64_t now = m.now();
        if (now - lastProgressDraw_ < 30) return;
        lastProgressDraw_ = now;
        draw(m, nullptr);
    }

private:
    struct Box {
        std::string caption, text;
        bool yesNo, icon;
        int focus;
    };

    void start() {
        if (started_) return;
        started_ = true;
        std::setlocale(LC_ALL, "");
        if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_CTYPE, "C.UTF-8");
        set_escdelay(100);  // long enough that an arrow key never splits into Escape and letters
        initscr();
        cbreak();
        noecho();
        nonl();
        keypad(stdscr, TRUE);
        curs_set(0);
        if (has_colors()) {
            start_color();
            init_pair(kDesktop, COLOR_WHITE, COLOR_BLUE);
            init_pair(kWindow, COLOR_BLACK, COLOR_WHITE);
            init_pair(kTitle, COLOR_WHITE, COLOR_BLUE);
            init_pair(kFocus, COLOR_WHITE, COLOR_CYAN);
            init_pair(kField, COLOR_BLACK, COLOR_CYAN);
            init_pair(kFieldSel, COLOR_WHITE, COLOR_BLUE);
            init_pair(kBar, COLOR_BLUE, COLOR_WHITE);
            init_pair(kShadow, COLOR_BLACK, COLOR_BLACK);
            init_pair(kStatus, COLOR_BLACK, COLOR_CYAN);
            init_pair(kPicture, COLOR_CYAN, COLOR_BLUE);
        }
        std::atexit([] {
            if (!isendwin()) endwin();
        });
    }

    void stop() {
        if (started_ && !isendwin()) endwin();
        started_ = false;
    }

    int readKey(ModelBackend& m) {
        int wait = 50;
        std::uint64_t due;
        if (m.nextTimerDue(&due)) {
            std::uint64_t n = m.now();
            wait = due <= n ? 0 : static_cast<int>(std::min<std::uint64_t>(due - n, 50));
        }
        timeout(wait);
        return getch();
    }

    // ------------------------------------------------------------ focus

    struct Stop {
        Dialog* dialog;
        ModelControl* control;
    };

    std::vector<Stop> tabStops(ModelBackend& m, Dialog& top) {
        std::vector<Stop> out;
        // The focused control keeps its place even while it is disabled, as
        // in Windows, so that Tab goes on from there.
        auto focus = m.focus();
        std::vector<Dialog*> order{&top};
        for (Dialog* p : m.visiblePages(top)) order.push_back(p);
        for (Dialog* d : order) {
            ModelWindow* w = m.window(*d);
            if (!w || !w->visible) continue;
            for (ModelControl& c : w->controls)
                if (c.focusable() || (d == focus.first && c.id == focus.second && c.visible))
                    out.push_back(Stop{d, &c});
        }
        return out;
    }

    // The focused control; the first tab stop when the focus is elsewhere.
    int focusIndex(ModelBackend& m, std::vector<Stop>& stops) {
        auto f = m.focus();
        for (std::size_t i = 0; i < stops.size(); ++i)
            if (stops[i].dialog == f.first && stops[i].control->id == f.second) return static_cast<int>(i);
        // Prefer the default button when nothing has the focus yet.
        for (std::size_t i = 0; i < stops.size(); ++i)
            if (stops[i].control->kind == Kind::DefPushButton) {
                m.setFocus(stops[i].dialog, stops[i].control->id);
                return static_cast<int>(i);
            }
        if (stops.empty()) return -1;
        m.setFocus(stops[0].dialog, stops[0].control->id);
        return 0;
    }

    void moveFocus(ModelBackend& m, std::vector<Stop>& stops, int from, int delta) {
        if (stops.empty()) return;
        int n = static_cast<int>(stops.size());
        int i = ((from < 0 ? 0 : from) + delta + n) % n;
        m.setFocus(stops[i].dialog, stops[i].control->id);
    }

    // ------------------------------------------------------------ keys

    void handleKey(ModelBackend& m, Dialog& top, int k) {
        std::vector<Stop> stops = tabStops(m, top);
        int fi = focusIndex(m, stops);
        Stop* f = fi >= 0 ? &stops[fi] : nullptr;
        ModelControl* c = f ? f->control : nullptr;

        if (k == '\t') return moveFocus(m, stops, fi, 1);
        if (k == KEY_BTAB) return moveFocus(m, stops, fi, -1);
        if (k == KEY_F(1)) {
            m.key(top, Key::F1, f ? f->dialog : nullptr);
            return;
        }
        if (k == KEY_F(10)) return systemMenu(m, top);
        if (k == 27) {
            if (!m.key(top, Key::Escape).empty()) beep();
            return;
        }
        bool enter = k == '\n' || k == '\r' || k == KEY_ENTER;
        if (c && c->enabled && (enter || k == ' ') && (c->kind == Kind::PushButton || c->kind == Kind::DefPushButton)) {
            m.pressControl(*f->dialog, *c);
            return;
        }
        if (enter) {
            if (!m.key(top, Key::Enter).empty()) beep();
            return;
        }
        if (!c || !c->enabled) return;
        int n = static_cast<int>(c->items.size());
        bool up = k == KEY_UP || k == KEY_LEFT, down = k == KEY_DOWN || k == KEY_RIGHT;
        switch (c->kind) {
        case Kind::RadioButton:
        case Kind::AutoRadioButton:
            if (k == ' ') m.pressControl(*f->dialog, *c);
            else if (up || down) moveInRadioGroup(m, *f, stops, down ? 1 : -1);
            break;
        case Kind::CheckBox:
        case Kind::AutoCheckBox:
            if (k == ' ') m.pressControl(*f->dialog, *c);
            break;
        case Kind::DropList:
            if (k == ' ' || k == KEY_F(4)) openDropDown(m, *f);
            else if ((k == KEY_UP || k == KEY_DOWN) && n > 0) {
                int s = std::clamp(c->sel + (k == KEY_DOWN ? 1 : -1), 0, n - 1);
                if (c->sel < 0) s = 0;
                if (s != c->sel) m.selectIndex(*f->dialog, *c, s);
            }
            break;
        case Kind::ListBox:
        case Kind::ListView: {
            if (n == 0) break;
            int s = c->sel;
            if (k == KEY_UP) s = std::max(0, s - 1);
            else if (k == KEY_DOWN) s = std::min(n - 1, s + 1);
            else if (k == KEY_PPAGE) s = std::max(0, s - 5);
            else if (k == KEY_NPAGE) s = std::min(n - 1, s + 5);
            else if (k == KEY_HOME) s = 0;
            else if (k == KEY_END) s = n - 1;
            else if (k == ' ' && c->kind == Kind::ListView && (c->exStyle & kLvCheckBoxes)) {
                m.toggleItem(*f->dialog, *c, std::max(c->sel, 0));
                if (c->sel < 0) m.selectIndex(*f->dialog, *c, 0);
                break;
            }
            if (s < 0) s = 0;
            if (s != c->sel) m.selectIndex(*f->dialog, *c, s);
            break;
        }
        case Kind::Edit: {
            if (k == KEY_UP) c->scrollTop = std::max(0, c->scrollTop - 1);
            else if (k == KEY_DOWN) c->scrollTop += 1;
            else if (k == KEY_PPAGE) c->scrollTop = std::max(0, c->scrollTop - 5);
            else if (k == KEY_NPAGE) c->scrollTop += 5;
            else if (k == KEY_HOME) c->scrollTop = 0;
            else if (k >= 32 && k < 127 && !(c->style & kReadOnly)) {
                if (Events::Char(*f->dialog, c->id, static_cast<unsigned>(k))) c->text += static_cast<char>(k);
                else beep();
            } else if ((k == KEY_BACKSPACE || k == 127) && !(c->style & kReadOnly) && !c->text.empty()) {
                c->text.pop_back();
            }
            break;
        }
        default:
            break;
        }
    }

    void moveInRadioGroup(ModelBackend& m, Stop& f, std::vector<Stop>& stops, int delta) {
        // The neighbouring radio button of the same window in the tab order.
        int at = -1;
        for (std::size_t i = 0; i < stops.size(); ++i)
            if (stops[i].control == f.control) at = static_cast<int>(i);
        int j = at + delta;
        if (j < 0 || j >= static_cast<int>(stops.size())) return;
        Stop& next = stops[j];
        bool radio = next.control->kind == Kind::RadioButton || next.control->kind == Kind::AutoRadioButton;
        if (next.dialog != f.dialog || !radio || (delta > 0 && (next.control->style & kGroup)) ||
            (delta < 0 && (f.control->style & kGroup)))
            return;
        m.pressControl(*next.dialog, *next.control);
    }

    // ------------------------------------------------------------ pop-ups

    void openDropDown(ModelBackend& m, Stop& f) {
        ModelControl& c = *f.control;
        int n = static_cast<int>(c.items.size());
        if (n == 0) return;
        int cur = std::max(c.sel, 0);
        for (;;) {
            popup_ = Popup{&c, f.dialog, cur, {}, 0};
            draw(m, nullptr);
            int k = readKey(m);
            m.runPosted();
            m.fireDueTimers();
            if (!m.window(*f.dialog)) break;
            if (k == KEY_UP) cur = std::max(0, cur - 1);
            else if (k == KEY_DOWN) cur = std::min(n - 1, cur + 1);
            else if (k == KEY_PPAGE) cur = std::max(0, cur - 5);
            else if (k == KEY_NPAGE) cur = std::min(n - 1, cur + 5);
            else if (k == 27 || k == '\t') break;
            else if (k == '\n' || k == '\r' || k == KEY_ENTER || k == ' ') {
                popup_ = Popup{};
                if (cur != c.sel) m.selectIndex(*f.dialog, c, cur);
                return;
            }
        }
        popup_ = Popup{};
    }

    void systemMenu(ModelBackend& m, Dialog& top) {
        ModelWindow* w = m.window(top);
        if (!w || !(top.Template().style & kSysMenu)) return;
        std::vector<std::pair<int, std::string>> items = {{0xF020, "Minimize"}, {0xF120, "Restore"}, {0xF060, "Close"}};
        for (auto& it : w->systemMenu) items.push_back(it);
        int cur = 0;
        for (;;) {
            popup_ = Popup{nullptr, &top, cur, items, 1};
            draw(m, nullptr);
            int k = readKey(m);
            m.runPosted();
            int n = static_cast<int>(items.size());
            if (k == KEY_UP) cur = (cur + n - 1) % n;
            else if (k == KEY_DOWN) cur = (cur + 1) % n;
            else if (k == 27 || k == KEY_F(10)) break;
            else if (k == '\n' || k == '\r' || k == KEY_ENTER || k == ' ') {
                popup_ = Popup{};
                int cmd = items[cur].first;
                if (cmd == 0xF020) top.ShowWindow(SW_MINIMIZE);
                else if (cmd == 0xF120) top.ShowWindow(SW_RESTORE);
                else m.systemCommand(top, cmd);
                return;
            }
        }
        popup_ = Popup{};
    }

    // ------------------------------------------------------------ drawing

    void draw(ModelBackend& m, const Box* box) {
        if (drawing_) return;
        drawing_ = true;
        erase();
        Fill(0, 0, LINES, COLS, 0, kDesktop);
        placed_.clear();
        Dialog* top = m.activeModal();
        if (top) {
            std::vector<Stop> stops = tabStops(m, *top);
            focusIndex(m, stops);
        }
        // Every running modal dialog, the innermost last; minimised ones go to the bottom line.
        std::vector<Dialog*> stack;
        for (Dialog* d = top; d;) {
            stack.insert(stack.begin(), d);
            ModelWindow* w = m.window(*d);
            d = w ? w->owner : nullptr;
            if (d && m.window(*d) && m.window(*d)->child) break;
        }
        int minimizedCol = 0;
        for (Dialog* d : stack) {
            ModelWindow* w = m.window(*d);
            if (!w || !w->visible) continue;
            if (w->minimized) {
                std::wstring t = L"[▭ " + Display(w->caption) + L"]";
                Put(LINES - 2, minimizedCol, t, COLS - minimizedCol, A_BOLD, kTitle);
                minimizedCol += Width(t) + 1;
                continue;
            }
            drawTopLevel(m, *d, *w, d == top && !box);
        }
        if (popup_.dialog) drawPopup(m);
        if (box) drawBox(*box);
        drawStatus(m, top, box);
        refresh();
        drawing_ = false;
    }

    void drawTopLevel(ModelBackend& m, Dialog& d, ModelWindow& w, bool active) {
        int cols = (w.rect.w + 3) / 4, rows = (w.rect.h + 7) / 8;
        bool caption = d.Template().style & kCaption;
        int outerRows = rows + 2 + (caption ? 0 : 0), outerCols = cols + 2;
        int row = std::max(0, (LINES - 1 - outerRows) / 2), col = std::max(0, (COLS - outerCols) / 2);
        Fill(row + 1, col + 2, outerRows, outerCols, 0, kShadow);
        Fill(row, col, outerRows, outerCols, 0, kWindow);
        DrawBox(row, col, outerRows, outerCols, active ? A_BOLD : 0, kWindow);
        if (caption) {
            std::wstring t = L" " + Display(w.caption) + L" ";
            int tw = std::min(Width(t), outerCols - 4);
            Put(row, col + (outerCols - tw) / 2, t, tw, A_BOLD, active ? kTitle : kWindow);
            if (d.Template().style & kSysMenu) Put(row, col + 1, L"[≡]", 3, 0, kWindow);
        }
        drawWindow(m, d, w, row + 1, col + 1, active);
    }

    void drawWindow(ModelBackend& m, Dialog& d, ModelWindow& w, int row, int col, bool active) {
        placed_.push_back(Placed{&d, &w, row, col});
        auto focus = m.focus();
        // Group boxes first: they stand behind the controls they hold, whatever
        // their place in the template.
        for (bool boxes : {true, false}) {
            for (ModelControl& c : w.controls) {
                if (!c.visible || (c.kind == Kind::GroupBox) != boxes) continue;
                drawControl(c, row, col, active && focus.first == &d && focus.second == c.id);
            }
        }
        for (const Painted& p : m.paint(d)) drawPainted(w, p, row, col);
        // Pages, inside their rectangle.
        for (Dialog* page : m.visiblePages(d)) {
            ModelWindow* pw = m.window(*page);
            if (!pw || pw->owner != &d) continue;
            int pr = row + (pw->rect.y + 4) / 8, pc = col + (pw->rect.x + 2) / 4;
            drawWindow(m, *page, *pw, pr, pc, active);
        }
    }

    void drawPainted(ModelWindow& w, const Painted& p, int row, int col) {
        int r = row + (p.rect.y + 4) / 8, c = col + (p.rect.x + 2) / 4;
        int rows = std::max(1, (p.rect.y + p.rect.h + 4) / 8 - (p.rect.y + 4) / 8);
        int cols = std::max(1, (p.rect.x + p.rect.w + 2) / 4 - (p.rect.x + 2) / 4);
        switch (p.what) {
        case Painted::What::Bitmap:
            Fill(r, c, rows, cols, 0, kPicture, L'░');
            if (rows > 2) {
                std::wstring t = Wide(std::to_string(p.width) + "×" + std::to_string(p.height));
                Put(r + rows / 2, c + std::max(0, (cols - Width(t)) / 2), t, cols, A_BOLD, kPicture);
            }
            break;
        case Painted::What::Icon:
            Put(r + rows / 2, c + std::max(0, cols / 2 - 2), L"[◆]", 3, A_BOLD, kWindow);
            break;
        case Painted::What::Text: {
            std::wstring t = Display(p.text);
            int tw = std::min(Width(t), cols);
            short pair = colorPair(p.style.color, kDefaultColor);
            Put(r + (rows - 1) / 2, c + (cols - tw) / 2, t, tw, p.style.font.weight >= 700 ? A_BOLD : 0, pair);
            break;
        }
        }
    }

    short colorPair(Color text, Color back) {
        if (text == kDefaultColor && back == kDefaultColor) return kWindow;
        if (!has_colors()) return kWindow;
        short fg = text == kDefaultColor ? COLOR_BLACK : NearestColor(text);
        short bg = back == kDefaultColor ? COLOR_WHITE : NearestColor(back);
        short id = static_cast<short>(kFirstCustom + fg * 8 + bg);
        if (id < COLOR_PAIRS) {
            init_pair(id, fg, bg);
            return id;
        }
        return kWindow;
    }

    void drawControl(ModelControl& c, int row, int col, bool focused) {
        Cells p = Place(c);
        int r = row + p.row, cl = col + p.col;
        attr_t dim = c.enabled ? 0 : A_DIM;
        std::wstring text = Display(ShowsMnemonics(c.kind) ? StripMnemonics(c.text) : c.text);
        short pair = colorPair(c.textColor, c.backColor);
        switch (c.kind) {
        case Kind::Static: {
            if (pair != kWindow) Fill(r, cl, p.rows, p.cols, 0, pair);
            auto lines = Wrap(text, p.cols);
            for (int i = 0; i < p.rows && i < static_cast<int>(lines.size()); ++i) {
                int w = Width(lines[i]);
                int off = (c.style & kCenter) ? std::max(0, (p.cols - w) / 2)
                                              : (c.style & kRight) ? std::max(0, p.cols - w) : 0;
                Put(r + i, cl + off, lines[i], p.cols - off, dim, pair);
            }
            break;
        }
        case Kind::Frame:
            DrawBox(r, cl, p.rows, p.cols, A_DIM, kWindow);
            break;
        case Kind::EtchedFrame:
            DrawBox(r, cl, p.rows, p.cols, A_DIM, kWindow);
            break;
        case Kind::EtchedLine:
            Put(r, cl, std::wstring(p.cols, L'─'), p.cols, A_DIM, kWindow);
            break;
        case Kind::GroupBox:
            DrawBox(r, cl, p.rows, p.cols, 0, kWindow);
            if (!text.empty()) Put(r, cl + 1, L" " + text + L" ", p.cols - 2, A_BOLD | dim, kWindow);
            break;
        case Kind::PushButton:
        case Kind::DefPushButton: {
            std::wstring t = c.kind == Kind::DefPushButton ? L"< " + text + L" >" : L"[ " + text + L" ]";
            int w = std::min(Width(t), p.cols);
            Put(r, cl + (p.cols - w) / 2, t, w, (focused ? A_BOLD : 0) | dim | (c.kind == Kind::DefPushButton ? A_BOLD : 0),
                focused ? kFocus : kWindow);
            break;
        }
        case Kind::RadioButton:
        case Kind::AutoRadioButton:
        case Kind::CheckBox:
        case Kind::AutoCheckBox: {
            bool radio = c.kind == Kind::RadioButton || c.kind == Kind::AutoRadioButton;
            std::wstring mark = radio ? (c.check ? L"(•) " : L"( ) ") : (c.check ? L"[x] " : L"[ ] ");
            // The mark takes four cells where Windows' box takes about three,
            // and a cell is a coarse measure of a label's width: the label may
            // run a little past the control (labels are drawn, not padded).
            Put(r, cl, mark + text, p.cols + 5, dim | (focused ? A_BOLD : 0), focused ? kFocus : kWindow);
            break;
        }
        case Kind::DropList: {
            std::wstring t = c.sel >= 0 && c.sel < static_cast<int>(c.items.size()) ? Display(c.items[c.sel].text) : L"";
            Fill(r, cl, 1, p.cols, dim, focused ? kFieldSel : kField);
            Put(r, cl + 1, t, p.cols - 3, dim, focused ? kFieldSel : kField);
            Put(r, cl + p.cols - 1, L"▼", 1, dim, focused ? kFieldSel : kField);
            break;
        }
        case Kind::Edit: {
            Fill(r, cl, p.rows, p.cols, dim, (c.style & kReadOnly) ? kWindow : kField);
            bool scroll = c.style & (kVScroll | kAutoVScroll);
            int width = p.cols - (scroll ? 1 : 0);
            auto lines = (c.style & kMultiLine) ? Wrap(text, width) : std::vector<std::wstring>{text};
            int total = static_cast<int>(lines.size());
            c.scrollTop = std::clamp(c.scrollTop, 0, std::max(0, total - p.rows));
            for (int i = 0; i < p.rows && c.scrollTop + i < total; ++i)
                Put(r + i, cl, lines[c.scrollTop + i], width, dim, (c.style & kReadOnly) ? kWindow : kField);
            if (scroll) drawScrollBar(r, cl + p.cols - 1, p.rows, c.scrollTop, total, focused);
            break;
        }
        case Kind::ListBox:
        case Kind::ListView: {
            Fill(r, cl, p.rows, p.cols, dim, kField);
            int n = static_cast<int>(c.items.size());
            // Keep the selection in view.
            if (c.sel >= 0) {
                if (c.sel < c.scrollTop) c.scrollTop = c.sel;
                if (c.sel >= c.scrollTop + p.rows) c.scrollTop = c.sel - p.rows + 1;
            }
            c.scrollTop = std::clamp(c.scrollTop, 0, std::max(0, n - p.rows));
            bool boxes = c.kind == Kind::ListView && (c.exStyle & kLvCheckBoxes);
            bool bar = n > p.rows;
            int width = p.cols - (bar ? 1 : 0);
            for (int i = 0; i < p.rows && c.scrollTop + i < n; ++i) {
                const ModelItem& it = c.items[c.scrollTop + i];
                std::wstring t = (boxes ? (it.checked ? L"[x] " : L"[ ] ") : L"") + Display(it.text);
                bool sel = c.scrollTop + i == c.sel;
                short pr = sel ? (focused ? kFieldSel : kBar) : kField;
                if (sel) Fill(r + i, cl, 1, width, dim, pr);
                Put(r + i, cl, t, width, dim | (sel ? A_BOLD : 0), pr);
            }
            if (bar) drawScrollBar(r, cl + p.cols - 1, p.rows, c.scrollTop, n, focused);
            if (focused && n == 0) Put(r, cl, L"·", 1, 0, kFieldSel);
            break;
        }
        case Kind::Progress: {
            int span = c.rangeHigh - c.rangeLow;
            int inner = std::max(0, p.cols - 2);
            int filled = span > 0 ? (c.pos - c.rangeLow) * inner / span : 0;
            Put(r, cl, L"▕", 1, 0, kWindow);
            Put(r, cl + 1, std::wstring(filled, L'█') + std::wstring(inner - filled, L'░'), inner, dim, kBar);
            Put(r, cl + p.cols - 1, L"▏", 1, 0, kWindow);
            break;
        }
        case Kind::Icon:
            Put(r + p.rows / 2, cl, L"[◆]", std::min(3, p.cols), A_BOLD, kWindow);
            break;
        }
    }

    void drawScrollBar(int row, int col, int rows, int top, int total, bool focused) {
        for (int i = 0; i < rows; ++i) Put(row + i, col, L"│", 1, A_DIM, kWindow);
        if (total <= rows || rows <= 0) return;
        int thumb = std::min(rows - 1, top * rows / std::max(1, total - rows + 1));
        Put(row + thumb, col, L"█", 1, focused ? A_BOLD : 0, kWindow);
    }

    bool screenOf(Dialog* d, int* row, int* col) {
        for (const Placed& p : placed_)
            if (p.dialog == d) {
                *row = p.row;
                *col = p.col;
                return true;
            }
        return false;
    }

    void drawPopup(ModelBackend& m) {
        int row = 0, col = 0;
        if (!screenOf(popup_.dialog, &row, &col)) return;
        if (popup_.control) {
            ModelControl& c = *popup_.control;
            Cells p = Place(c);
            int n = static_cast<int>(c.items.size());
            int rows = std::clamp(c.rect.h / 8 - 1, 3, std::max(3, LINES - (row + p.row + 2)));
            rows = std::min(rows, n);
            int top = std::clamp(popup_.cursor - rows + 1, 0, std::max(0, n - rows));
            int r = row + p.row + 1, cl = col + p.col;
            DrawBox(r, cl, rows + 2, p.cols, 0, kWindow);
            for (int i = 0; i < rows; ++i) {
                bool sel = top + i == popup_.cursor;
                Fill(r + 1 + i, cl + 1, 1, p.cols - 2, 0, sel ? kFieldSel : kField);
                Put(r + 1 + i, cl + 1, Display(c.items[top + i].text), p.cols - 2, 0, sel ? kFieldSel : kField);
            }
        } else {
            int width = 0;
            for (auto& it : popup_.items) width = std::max(width, Width(Display(it.second)));
            width += 4;
            int r = row, cl = col;
            DrawBox(r, cl, static_cast<int>(popup_.items.size()) + 2, width, 0, kWindow);
            for (std::size_t i = 0; i < popup_.items.size(); ++i) {
                bool sel = static_cast<int>(i) == popup_.cursor;
                Fill(r + 1 + static_cast<int>(i), cl + 1, 1, width - 2, 0, sel ? kFieldSel : kWindow);
                Put(r + 1 + static_cast<int>(i), cl + 2, Display(popup_.items[i].second), width - 3, 0,
                    sel ? kFieldSel : kWindow);
            }
        }
    }

    void drawBox(const Box& b) {
        int maxText = std::max(20, std::min(COLS - 12, 60));
        auto lines = Wrap(Display(b.text), maxText);
        int textW = 0;
        for (auto& l : lines) textW = std::max(textW, Width(l));
        std::wstring cap = Display(b.caption);
        int iconW = b.icon ? 4 : 0;
        int cols = std::max({textW + iconW + 4, Width(cap) + 6, b.yesNo ? 24 : 12});
        int rows = static_cast<int>(lines.size()) + 5;
        int row = std::max(0, (LINES - 1 - rows) / 2), col = std::max(0, (COLS - cols) / 2);
        Fill(row + 1, col + 2, rows, cols, 0, kShadow);
        Fill(row, col, rows, cols, 0, kWindow);
        DrawBox(row, col, rows, cols, A_BOLD, kWindow);
        std::wstring t = L" " + cap + L" ";
        Put(row, col + (cols - Width(t)) / 2, t, cols - 2, A_BOLD, kTitle);
        if (b.icon) Put(row + 2, col + 2, L"/!\\", 3, A_BOLD, kWindow);
        for (std::size_t i = 0; i < lines.size(); ++i)
            Put(row + 2 + static_cast<int>(i), col + 2 + iconW, lines[i], cols - 4 - iconW, 0, kWindow);
        std::vector<std::wstring> buttons = b.yesNo ? std::vector<std::wstring>{L"Yes", L"No"} : std::vector<std::wstring>{L"OK"};
        int total = 0;
        for (auto& s : buttons) total += Width(s) + 6;
        int bc = col + (cols - total) / 2;
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            std::wstring s = (static_cast<int>(i) == b.focus ? L"< " : L"[ ") + buttons[i] +
                             (static_cast<int>(i) == b.focus ? L" >" : L" ]");
            Put(row + rows - 2, bc, s, Width(s), static_cast<int>(i) == b.focus ? A_BOLD : 0,
                static_cast<int>(i) == b.focus ? kFocus : kWindow);
            bc += Width(s) + 2;
        }
    }

    void drawStatus(ModelBackend& m, Dialog* top, const Box* box) {
        std::wstring s = box ? L" Tab move  Enter press  Y/N answer"
                             : L" Tab/Shift+Tab move  Space/Enter press  ↑↓ choose  Esc cancel  F1 help  F10 menu";
        if (!box && top) {
            auto f = m.focus();
            if (f.first && m.window(*f.first))
                if (ModelControl* c = m.window(*f.first)->find(f.second); c && !c->tooltip.empty())
                    s = L" " + Display(c->tooltip);
        }
        Fill(LINES - 1, 0, 1, COLS, 0, kStatus);
        Put(LINES - 1, 0, s, COLS, 0, kStatus);
    }

    struct Popup {
        ModelControl* control = nullptr;  // an open drop-down list
        Dialog* dialog = nullptr;
        int cursor = 0;
        std::vector<std::pair<int, std::string>> items;  // the system menu
        int kind = 0;
    };

    ModelBackend* model_ = nullptr;
    bool started_ = false;
    bool drawing_ = false;
    std::uint64_t lastProgressDraw_ = 0;
    std::vector<Placed> placed_;
    Popup popup_;
};

}  // namespace

std::unique_ptr<Driver> MakeTerminalDriver() { return std::make_unique<TerminalDriver>(); }

}  // namespace ui
