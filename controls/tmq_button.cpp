#include "controls/tmq_button.h"

#include <windowsx.h>

#include <algorithm>
#include <mmsystem.h>
#include <utility>

#include "controls/alpha_bitmap.h"
#include "base/handles.h"
#include "base/dib.h"

namespace vt {

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT_PTR kStartDelayTimer = 2;
constexpr const wchar_t* kHandCursor = L"HANDtmqb";
constexpr const wchar_t* kHoverSound = L"PREKO";
constexpr const wchar_t* kMarkBitmap = L"Strela";

// Buttons alive on this (the main) thread, so a focus change reaches every one of them.
std::vector<TTmqCustomButton*>& LiveButtons() {
    static std::vector<TTmqCustomButton*> buttons;
    return buttons;
}

void Unhook(HHOOK hook) noexcept { UnhookWindowsHookEx(hook); }
using UniqueHook = Unique<HHOOK, Unhook>;

// Every focus change of the thread, between whatever controls, reaches the buttons of that window, so
// the default one takes Enter again once the focus leaves another button.
LRESULT CALLBACK FocusHook(int code, WPARAM w, LPARAM l) {
    if (code == HCBT_SETFOCUS && w) {
        HWND focused = reinterpret_cast<HWND>(w);
        HWND root = GetAncestor(focused, GA_ROOT);
        for (TTmqCustomButton* b : std::vector<TTmqCustomButton*>(LiveButtons()))
            if (b->hwnd() && GetAncestor(b->hwnd(), GA_ROOT) == root) b->FocusChanged(focused);
    }
    return CallNextHookEx(nullptr, code, w, l);
}

UniqueHook& FocusHookHandle() {
    static UniqueHook hook;
    return hook;
}

bool IsTmqButton(HWND w) {
    if (!w) return false;
    wchar_t name[32]{};
    GetClassNameW(w, name, 32);
    return lstrcmpW(name, TTmqCustomButton::kClassName) == 0;
}

Bgra ToPixel(COLORREF c) { return {GetBValue(c), GetGValue(c), GetRValue(c), 0}; }

void SetPixelAt(const PixelView& px, int x, int y, Bgra colour) {
    if (x >= 0 && y >= 0 && x < px.width && y < px.height) px.at(x, y) = colour;
}

// One cell of a glyph strip.
Picture Cell(const Picture& strip, int index, int count) {
    Picture cell;
    if (strip.empty()) return cell;
    cell.width = strip.width / std::max(count, 1);
    cell.height = strip.height;
    if (cell.width <= 0) return Picture{};
    cell.pixels.resize(static_cast<size_t>(cell.width) * cell.height);
    for (int y = 0; y < cell.height; ++y)
        for (int x = 0; x < cell.width; ++x) cell.pixels[y * cell.width + x] = strip.at(index * cell.width + x, y);
    return cell;
}

bool SameColour(Bgra a, Bgra b) { return a.b == b.b && a.g == b.g && a.r == b.r; }

// Copies the cell without the pixels of its bottom-left colour.
void DrawTransparent(const PixelView& px, const Picture& cell, int x, int y) {
    const Bgra key = cell.at(0, cell.height - 1);
    for (int cy = 0; cy < cell.height; ++cy)
        for (int cx = 0; cx < cell.width; ++cx)
            if (!SameColour(cell.at(cx, cy), key)) SetPixelAt(px, x + cx, y + cy, cell.at(cx, cy));
}

// The disabled look: the cell's shape in highlight one pixel down-right, then in shadow in place.
void DrawEmbossed(const PixelView& px, const Picture& cell, int x, int y) {
    const Bgra key = cell.at(0, cell.height - 1);
    const Bgra highlight = ToPixel(GetSysColor(COLOR_BTNHIGHLIGHT)), shadow = ToPixel(GetSysColor(COLOR_BTNSHADOW));
    for (int pass = 0; pass < 2; ++pass)
        for (int cy = 0; cy < cell.height; ++cy)
            for (int cx = 0; cx < cell.width; ++cx)
                if (!SameColour(cell.at(cx, cy), key))
                    SetPixelAt(px, x + cx + (pass == 0), y + cy + (pass == 0), pass == 0 ? highlight : shadow);
}

// The drop-down mark when the program carries no picture of its own: a small arrow pointing down.
Picture DefaultMark() {
    Picture mark;
    mark.width = 7;
    mark.height = 4;
    const Bgra back{255, 0, 255, 0}, ink{0, 0, 0, 0};
    mark.pixels.assign(28, back);
    for (int y = 0; y < 4; ++y)
        for (int x = y; x < 7 - y; ++x) mark.pixels[y * 7 + x] = ink;
    return mark;
}

const Picture& Mark() {
    static const Picture mark = [] {
        Picture p = PictureFromResource(kMarkBitmap);
        return p.empty() ? DefaultMark() : p;
    }();
    return mark;
}

}  // namespace

// ---- The control ----

TTmqCustomButton::TTmqCustomButton() {
    ApplyStyleFields();
    LiveButtons().push_back(this);
    if (!FocusHookHandle())
        FocusHookHandle().reset(SetWindowsHookExW(WH_CBT, FocusHook, nullptr, GetCurrentThreadId()));
}

TTmqCustomButton::~TTmqCustomButton() {
    auto& live = LiveButtons();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    if (live.empty()) FocusHookHandle().reset();
    if (hwnd_) StopTimers();
}

bool TTmqCustomButton::Create(HWND parent, int x, int y, int width, int height, int id) {
    if (!RegisterWindowClass(kClassName, Proc, CS_DBLCLKS)) return false;
    if (!CreateWindowExW(0, kClassName, caption_.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x, y,
                         width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleW(nullptr), this))
        return false;
    ShowHint();
    return true;
}

void TTmqCustomButton::Redraw() {
    if (!hwnd_) return;
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
}

void TTmqCustomButton::ApplyStyleFields() {
    const StyleInfo s = StyleOf(style_);
    normalWidth_ = s.normalWidth;
    hotWidth_ = s.hotWidth;
    if (!s.setsColours) return;
    dotted_ = s.dotted;
    if (marginStyle_ == cmDefault) {
        effLeftTop_ = marginLeftTop_ = s.leftTop;
        effRightBottom_ = marginRightBottom_ = s.rightBottom;
    } else {
        effLeftTop_ = marginLeftTop_;
        effRightBottom_ = marginRightBottom_;
    }
}

void TTmqCustomButton::SetButtonStyle(TStyle style) {
    style_ = style;
    ApplyStyleFields();
    if (IsFramedStyle(style)) {
        parentColor_ = false;
        color_ = clBtnFace;
    }
    Redraw();
}

void TTmqCustomButton::SetButtonKind(TKind kind) {
    if (kind == kind_) return;
    kind_ = kind;
    glyph_ = Picture{};
    glyphHot_ = Picture{};
    if (kind != skCustom) {
        const KindInfo info = KindOf(kind);
        glyph_ = PictureFromResource(info.glyph);
        glyphHot_ = PictureFromResource(info.glyphHot);
        SetCaption(info.caption);
        numGlyphs_ = numGlyphsHot_ = 1;
    }
    Cancel = kind == skCancel || kind == skNo;
    Default = kind == skOK || kind == skYes;
    Redraw();
}

void TTmqCustomButton::SetGlyph(Picture picture) {
    glyph_ = std::move(picture);
    if (!glyph_.empty()) numGlyphs_ = GuessGlyphCount(glyph_.width, glyph_.height, numGlyphs_);
    kind_ = skCustom;
    Redraw();
}

void TTmqCustomButton::SetGlyphHot(Picture picture) {
    glyphHot_ = std::move(picture);
    if (!glyphHot_.empty()) numGlyphsHot_ = GuessGlyphCount(glyphHot_.width, glyphHot_.height, numGlyphsHot_);
    kind_ = skCustom;
    Redraw();
}

void TTmqCustomButton::SetNumGlyphs(int n) { Change(numGlyphs_, std::clamp(n, 1, 4)); }

void TTmqCustomButton::SetNumGlyphsHot(int n) { Change(numGlyphsHot_, std::clamp(n, 1, 4)); }

void TTmqCustomButton::SetLayout(TLayout layout) { Change(layout_, layout); }

void TTmqCustomButton::SetSpacing(int spacing) { Change(spacing_, std::clamp(spacing, 1, 5)); }

void TTmqCustomButton::SetSpacingLayout(int margin) { Change(spacingLayout_, std::clamp(margin, -5, 5)); }

void TTmqCustomButton::SetColorMarginStyle(TColorMarginDefault style) {
    marginStyle_ = style;
    const StyleInfo s = StyleOf(style_);
    if (style == cmDefault && s.setsColours) {
        effLeftTop_ = marginLeftTop_ = s.leftTop;
        effRightBottom_ = marginRightBottom_ = s.rightBottom;
    }
    Redraw();
}

// A margin colour set by hand: one other than the style's own makes the margin style custom.
void TTmqCustomButton::SetMarginColour(TColor& margin, TColor& effective, TColor colour, TColor StyleInfo::*own) {
    if (colour == margin) return;
    margin = effective = colour;
    const StyleInfo s = StyleOf(style_);
    if (marginStyle_ == cmDefault && s.setsColours && colour != s.*own) marginStyle_ = cmCustom;
    Redraw();
}

void TTmqCustomButton::SetColorMarginLeftTop(TColor colour) {
    SetMarginColour(marginLeftTop_, effLeftTop_, colour, &StyleInfo::leftTop);
}

void TTmqCustomButton::SetColorMarginRightBottom(TColor colour) {
    SetMarginColour(marginRightBottom_, effRightBottom_, colour, &StyleInfo::rightBottom);
}

void TTmqCustomButton::SetPopupMenu(HMENU menu) { Change(popupMenu_, menu); }

void TTmqCustomButton::SetPopupMenuMark(bool mark) { Change(popupMark_, mark); }

void TTmqCustomButton::SetPopupMenuMarkGap(int gap) { Change(markGap_, std::clamp(gap, 1, 5)); }

void TTmqCustomButton::SetRepeatInterval(int ms) { repeatInterval_ = std::max(ms, 1); }
void TTmqCustomButton::SetRepeatStartInterval(int ms) { repeatStartInterval_ = std::max(ms, 1); }

void TTmqCustomButton::SetHint(const std::wstring& hint) {
    hint_ = hintBase_ = hint;
    ShowHint();
}

void TTmqCustomButton::SetHintSecondLine(const std::wstring& line) {
    // Built from the first line each time, so setting it again replaces the second line instead of
    // piling up lines.
    hint_ = hintBase_;
    if (!hintBase_.empty() && !line.empty()) hint_ += L'\r' + line;
    ShowHint();
}

// The hint as a tooltip of the form's hints; the second line starts where the hint holds its line break.
void TTmqCustomButton::ShowHint() {
    if (!hwnd_ || (hint_.empty() && !hints_.window())) return;
    if (!hints_.window()) hints_.Attach(GetParent(hwnd_));
    std::wstring text = hint_;
    std::replace(text.begin(), text.end(), L'\r', L'\n');
    hints_.Set(hwnd_, text);
}

std::wstring TTmqCustomButton::Caption() const {
    if (!hwnd_) return {};
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void TTmqCustomButton::SetCaption(const std::wstring& caption) {
    if (hwnd_) SetWindowTextW(hwnd_, caption.c_str());
    else caption_ = caption;   // the window takes it when it is made (a kind chosen before Create)
}

void TTmqCustomButton::SetColor(TColor colour) {
    color_ = IsFramedStyle(style_) ? clBtnFace : colour;
    parentColor_ = false;
    Redraw();
}

bool TTmqCustomButton::CanFocus() const {
    return hwnd_ && IsWindowVisible(hwnd_) && IsWindowEnabled(hwnd_);
}

HWND TTmqCustomButton::Form() const {
    HWND root = hwnd_ ? GetAncestor(hwnd_, GA_ROOT) : nullptr;
    return root == hwnd_ ? nullptr : root;
}

void TTmqCustomButton::SetDefaultStyle(bool isDefault) {
    if (!hwnd_) return;
    const LONG_PTR low = GetWindowLongPtrW(hwnd_, GWL_STYLE) & 0x0F;
    if (low != (isDefault ? 1 : 0))
        SendMessageW(hwnd_, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TTmqCustomButton::FocusChanged(HWND focused) {
    defaultNow_ = IsTmqButton(focused) ? focused == hwnd_ : Default;
    SetDefaultStyle(defaultNow_);
    if (IsFramedStyle(style_) && focused_ && ShowFocused) Redraw();
}

bool TTmqCustomButton::DialogKey(UINT key) {
    const bool plain = GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0;
    if (plain && CanFocus() && ((key == VK_RETURN && defaultNow_) || (key == VK_ESCAPE && Cancel))) {
        Click();
        return true;
    }
    return false;
}

bool TTmqCustomButton::DialogChar(wchar_t ch) {
    const std::wstring caption = Caption();
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] == L'&') {   // "&&" is a literal ampersand
            ++i;
            continue;
        }
        if (CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(static_cast<unsigned short>(caption[i + 1])))) ==
                CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(static_cast<unsigned short>(ch)))) &&
            CanFocus()) {
            Click();
            return true;
        }
        break;
    }
    return false;
}

void TTmqCustomButton::KindAction() {
    const KindInfo info = KindOf(kind_);
    HWND form = Form();
    if (info.modalResult != 0) {
        if (!form) return;
        if (OnModalResult) {
            OnModalResult(form, info.modalResult);
        } else {
            wchar_t cls[16]{};
            GetClassNameW(form, cls, 16);
            if (lstrcmpW(cls, L"#32770") == 0) EndDialog(form, info.modalResult);
        }
    } else if (kind_ == skClose) {
        if (!form) return;
        if (OnCloseForm) OnCloseForm(form);
        else PostMessageW(form, WM_CLOSE, 0, 0);
    } else if (kind_ == skHelp) {
        for (HWND w = hwnd_; w; w = GetParent(w)) {
            const DWORD context = GetWindowContextHelpId(w);
            if (context == 0) continue;
            if (OnHelp) {
                OnHelp(context);
            } else if (form) {
                HELPINFO info{sizeof info, HELPINFO_WINDOW, 0, hwnd_, context, {}};
                SendMessageW(form, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
            }
            break;
        }
    }
}

void TTmqCustomButton::Click() {
    if (OnClick) OnClick();
    KindAction();
    if (popupMenu_ && hwnd_ && IsWindowEnabled(hwnd_)) ShowPopup(true);
}

void TTmqCustomButton::StartDelayTimer() {
    KillTimer(hwnd_, kRepeatTimer);
    SetTimer(hwnd_, kStartDelayTimer, static_cast<UINT>(repeatStartInterval_), nullptr);
}

void TTmqCustomButton::StopTimers() {
    KillTimer(hwnd_, kStartDelayTimer);
    KillTimer(hwnd_, kRepeatTimer);
}

void TTmqCustomButton::ShowPopup(bool startDelay) {
    if (inPopup_) return;   // a click from inside the open menu must not open it a second time
    inPopup_ = true;
    if (startDelay && RepeatAction) StartDelayTimer();
    hotCaption_ = true;
    pressed_ = 1;
    Redraw();
    RECT screen{};
    GetWindowRect(hwnd_, &screen);
    const PopupPlacement at = PlacePopup(PositionPopup, screen);
    // The menu runs a loop of its own; whatever it delivers cannot destroy this button before the menu
    // has returned: destruction waits until our window procedures have (base/unwind.h).
    const UINT command = Menus->Popup(popupMenu_, hwnd_, at.pt, at.rightAligned);
    pressed_ = 0;
    hotCaption_ = false;
    hovering_ = false;   // the menu had the mouse; the next move over the button enters again
    Redraw();
    if (RepeatAction) StopTimers();
    inPopup_ = false;
    if (command != 0) {
        if (OnMenuCommand) OnMenuCommand(command);
        else if (HWND parent = GetParent(hwnd_)) SendMessageW(parent, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }
}

void TTmqCustomButton::MouseEnter() {
    if (!IsWindowEnabled(hwnd_)) return;
    if (OnMouseOver) OnMouseOver();
    pressed_ = 0;
    if (IsFramedStyle(style_) && popupMenu_ && CanFocus()) SetFocus(hwnd_);
    hotCaption_ = true;
    if (PlayMusic && Sound) Sound->PlayResource(kHoverSound, L"WAV");
    if (style_ == stFlat) ApplyStyleFields();
    mouseOutside_ = 0;
    Redraw();
}

void TTmqCustomButton::MouseLeave() {
    if (!IsWindowEnabled(hwnd_)) return;
    if (OnMouseOut) OnMouseOut();
    pressed_ = 0;
    if (RepeatAction) StopTimers();
    hotCaption_ = false;
    mouseOutside_ = 1;
    Redraw();
}

void TTmqCustomButton::LeftDown(WPARAM keys, POINT pt, bool dblClick) {
    if (!IsWindowEnabled(hwnd_)) return;
    SetCapture(hwnd_);
    if (dblClick && OnDblClick) OnDblClick();
    clicked_ = !dblClick;
    if (RepeatAction) StartDelayTimer();
    hotCaption_ = true;
    pressed_ = 1;
    Redraw();
    if (popupMenu_) {
        clicked_ = false;   // the menu took this press
        ShowPopup(false);
        if (OnMouseDown) OnMouseDown({keys, pt});
    }
}

void TTmqCustomButton::LeftUp(WPARAM keys, POINT pt) {
    const bool wasClicked = std::exchange(clicked_, false);
    if (GetCapture() == hwnd_) ReleaseCapture();
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    if (wasClicked && PtInRect(&rc, pt)) Click();
    if (!hwnd_ || !IsWindowEnabled(hwnd_) || mouseOutside_ != 0) return;
    if (RepeatAction) StopTimers();
    pressed_ = 0;
    Redraw();
    if (IsFramedStyle(style_) && CanFocus()) SetFocus(hwnd_);
    if (OnMouseUp) OnMouseUp({keys, pt});
}

void TTmqCustomButton::EnabledChanged(bool enabled) {
    if (!enabled) {
        pressed_ = 0;
        hotCaption_ = false;
        hovering_ = false;
        clicked_ = false;
        // A held auto-repeat button that its own click disables would otherwise go on clicking: the
        // release that stops the timers is ignored while disabled.
        StopTimers();
        if (GetCapture() == hwnd_) ReleaseCapture();
    }
    Redraw();
}

void TTmqCustomButton::DoEnter() {
    if (IsFramedStyle(style_)) focused_ = true;
    for (TTmqCustomButton* b : LiveButtons())
        if (b->hwnd_ && GetAncestor(b->hwnd_, GA_ROOT) == GetAncestor(hwnd_, GA_ROOT)) b->FocusChanged(hwnd_);
}

void TTmqCustomButton::DoExit(HWND next) {
    if (IsFramedStyle(style_)) {
        focused_ = false;
        if (ShowFocused) Redraw();
    }
    if (IsTmqButton(next)) return;   // the newly focused button tells everyone on its DoEnter
    for (TTmqCustomButton* b : LiveButtons())
        if (b->hwnd_ && GetAncestor(b->hwnd_, GA_ROOT) == GetAncestor(hwnd_, GA_ROOT)) b->FocusChanged(next);
}

TLook TTmqCustomButton::CurrentLook() const {
    if (!hwnd_ || !IsWindowEnabled(hwnd_)) return TLook::Normal;
    if (pressed_) return TLook::Pressed;
    return hovering_ && mouseOutside_ == 0 ? TLook::Hot : TLook::Normal;
}

void TTmqCustomButton::PaintTo(HDC dc) { DrawLook(dc, CurrentLook()); }

void TTmqCustomButton::DrawLook(HDC target, TLook look) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    AlphaBitmap face = CreateAlphaBitmap(client.right, client.bottom);
    UniqueMemDC dc(CreateCompatibleDC(target));
    if (!face || !dc) return;
    SelectGuard keep(dc.get(), face.bitmap.get());
    const PixelView px = PixelsOf(face);
    const bool framed = IsFramedStyle(style_);
    const Bgra brush = ToPixel(ColorToRGB(framed ? clBtnFace : color_));
    std::fill(px.pixels, px.pixels + px.width * px.height, brush);

    // 1-2. Frame: nested one-pixel rectangles, colours swapped while pressed.
    RECT inner = client;
    const int width = FrameWidth(look);
    Bgra lt = ToPixel(ColorToRGB(effLeftTop_)), rb = ToPixel(ColorToRGB(effRightBottom_));
    if (look == TLook::Pressed) std::swap(lt, rb);
    for (int k = 0; k < width && inner.right - inner.left > 0 && inner.bottom - inner.top > 0; ++k) {
        const int l = inner.left, t = inner.top, r = inner.right - 1, b = inner.bottom - 1;
        int n = 0;
        auto dot = [&](int x, int y, Bgra c) {
            if (!dotted_ || (n++ % 2) == 0) SetPixelAt(px, x, y, c);
        };
        for (int y = b; y > t; --y) dot(l, y, lt);
        for (int x = l; x < r; ++x) dot(x, t, lt);
        for (int y = t; y < b; ++y) dot(r, y, rb);
        for (int x = r; x >= l; --x) dot(x, b, rb);
        InflateRect(&inner, -1, -1);
    }
    // 3. Fill (already the whole face), frame-raised gives one more pixel.
    if (style_ == stFrameRaised) InflateRect(&inner, -1, -1);
    GdiFlush();
    // 4. Bevel of the framed styles.
    if (framed) {
        RECT bevel = inner;
        DrawEdge(dc.get(), &bevel, look == TLook::Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
        GdiFlush();
    }
    // 5. Glyph (and drop-down mark).
    RECT glyphRect{};
    bool hasGlyph = false;
    DrawGlyphs(dc.get(), px, inner, look, glyphRect, hasGlyph);
    // 6. Focus rectangle.
    if (framed && ShowFocused && focused_) {
        RECT focus = inner;
        InflateRect(&focus, -3, -3);
        SetTextColor(dc.get(), RGB(0, 0, 0));
        SetBkColor(dc.get(), RGB(255, 255, 255));
        DrawFocusRect(dc.get(), &focus);
    }
    // 7. Caption.
    DrawCaption(dc.get(), inner, look, hasGlyph ? &glyphRect : nullptr);
    GdiFlush();
    BitBlt(target, 0, 0, client.right, client.bottom, dc.get(), 0, 0, SRCCOPY);
}

void TTmqCustomButton::DrawGlyphs(HDC dc, const PixelView& px, const RECT& inner, TLook look, RECT& drawn,
                                  bool& hasGlyph) {
    const bool enabled = IsWindowEnabled(hwnd_) != FALSE;
    // Which picture this look shows.
    const Picture* strip = nullptr;
    bool hot = false;
    if (look == TLook::Normal || glyphHot_.empty()) {
        strip = glyph_.empty() ? nullptr : &glyph_;
    } else if (!glyph_.empty()) {
        strip = enabled ? &glyphHot_ : &glyph_;
        hot = enabled;
    }
    if (!strip) return;

    const int count = hot ? numGlyphsHot_ : numGlyphs_;
    const bool secondCell = !hot && !enabled && count == 2;
    const Picture cell = Cell(*strip, secondCell ? 1 : 0, count);
    if (cell.empty()) return;

    const std::wstring caption = Caption();
    SIZE text{};
    {
        SelectGuard useFont(dc, font_.Get(GetParent(hwnd_)));
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    }
    ButtonLayoutInput in;
    in.inner = inner;
    in.glyphWidth = cell.width;
    in.glyphHeight = cell.height;
    in.textWidth = text.cx;
    in.textHeight = text.cy;
    in.layout = layout_;
    in.spacing = spacing_;
    in.spacingLayout = spacingLayout_;
    in.captionEmpty = caption.empty();
    in.popupMark = popupMark_;
    in.pressed = pressed_;
    const POINT at = GlyphPosition(in);
    if (hot || enabled || secondCell) DrawTransparent(px, cell, at.x, at.y);
    else DrawEmbossed(px, cell, at.x, at.y);
    drawn = {at.x, at.y, at.x + cell.width, at.y + cell.height};
    hasGlyph = true;

    const bool besideCaption = (layout_ == blGlyphLeft || layout_ == blGlyphRight) && !caption.empty();
    if (popupMark_ && !besideCaption) DrawMark(px, drawn, cell.width, hot || enabled);
}

void TTmqCustomButton::DrawMark(const PixelView& px, const RECT& glyph, int cellWidth, bool enabled) {
    const Picture& mark = Mark();
    const int x = glyph.left + cellWidth + markGap_;
    const int y = glyph.top + (glyph.bottom - glyph.top - mark.height) / 2;
    if (enabled) DrawTransparent(px, mark, x, y);
    else DrawEmbossed(px, mark, x, y);
}

void TTmqCustomButton::DrawCaption(HDC dc, const RECT& inner, TLook, const RECT* glyph) {
    const std::wstring caption = Caption();
    SelectGuard useFont(dc, font_.Get(GetParent(hwnd_)));
    SIZE text{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    ButtonLayoutInput in;
    in.inner = inner;
    in.textWidth = text.cx;
    in.textHeight = text.cy;
    in.layout = layout_;
    in.spacing = spacing_;
    in.pressed = pressed_;
    RECT rc = CaptionRect(in, glyph);
    SetBkMode(dc, TRANSPARENT);
    const UINT format = DT_CENTER | DT_EXPANDTABS | DT_NOCLIP;
    if (!IsWindowEnabled(hwnd_)) {
        RECT moved = rc;
        OffsetRect(&moved, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &moved, format);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    } else {
        SetTextColor(dc, ColorToRGB(HotTrack && hotCaption_ ? HotTrackColor : font_.colour));
    }
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &rc, format);
}

LRESULT TTmqCustomButton::OnMessage(UINT m, WPARAM w, LPARAM l) {
    const POINT pt{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    LRESULT painted = 0;
    if (PaintMessages(hwnd_, m, w, [this](HDC dc) { PaintTo(dc); }, painted)) return painted;
    switch (m) {
    case WM_SETTEXT: {
        const LRESULT r = DefWindowProcW(hwnd_, m, w, l);
        Redraw();
        return r;
    }
    case WM_SETFONT:
        font_.Assign(reinterpret_cast<HFONT>(w));
        if (LOWORD(l)) Redraw();
        return 0;
    case WM_ENABLE:
        EnabledChanged(w != FALSE);
        return 0;
    case WM_SHOWWINDOW: {
        const LRESULT r = DefWindowProcW(hwnd_, m, w, l);
        Redraw();
        return r;
    }
    case WM_SYSCOLORCHANGE:
        Redraw();
        return 0;
    case WM_MOUSEMOVE: {
        RECT rc{};
        GetClientRect(hwnd_, &rc);
        const bool inside = PtInRect(&rc, pt) != FALSE;
        if (inside && !hovering_) {
            hovering_ = true;
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
            TrackMouseEvent(&track);
            MouseEnter();
        } else if (!inside && hovering_ && GetCapture() == hwnd_) {
            hovering_ = false;   // while held, leaving shows as moves outside
            MouseLeave();
        }
        return 0;
    }
    case WM_MOUSELEAVE:
        if (hovering_ && GetCapture() != hwnd_) {
            hovering_ = false;
            MouseLeave();
        }
        return 0;
    case WM_SETCURSOR:
        if (CursorHandCustom && hovering_ && IsWindowEnabled(hwnd_) && LOWORD(l) == HTCLIENT) {
            HCURSOR hand = LoadCursorW(GetModuleHandleW(nullptr), kHandCursor);
            SetCursor(hand ? hand : LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        return DefWindowProcW(hwnd_, m, w, l);
    case WM_LBUTTONDOWN:
        LeftDown(w, pt, false);
        return 0;
    case WM_LBUTTONDBLCLK:
        LeftDown(w, pt, true);
        if (hwnd_ && IsWindowEnabled(hwnd_)) Click();   // a double click counts as two clicks
        return 0;
    case WM_LBUTTONUP:
        LeftUp(w, pt);
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(l) != hwnd_) clicked_ = false;
        return 0;
    case WM_TIMER:
        if (w == kStartDelayTimer) {
            KillTimer(hwnd_, kStartDelayTimer);
            SetTimer(hwnd_, kRepeatTimer, static_cast<UINT>(repeatInterval_), nullptr);
        } else if (w == kRepeatTimer && RepeatAction && OnClick) {
            OnClick();
        }
        return 0;
    case WM_SETFOCUS:
        DoEnter();
        return 0;
    case WM_KILLFOCUS:
        spaceHeld_ = false;
        DoExit(reinterpret_cast<HWND>(w));
        return 0;
    case WM_GETDLGCODE:
        return DLGC_BUTTON | (defaultNow_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case BM_SETSTYLE: {
        const LONG_PTR style = (GetWindowLongPtrW(hwnd_, GWL_STYLE) & ~LONG_PTR{0x0F}) | (w & 0x0F);
        SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
        if (l) Redraw();
        return 0;
    }
    case BM_CLICK:
        Click();
        return 0;
    case WM_KEYDOWN:
        if ((w == VK_RETURN || w == VK_ESCAPE) && DialogKey(static_cast<UINT>(w))) return 0;
        if (w == VK_SPACE) {   // Space presses the button as the mouse would: the release clicks
            if (IsWindowEnabled(hwnd_)) spaceHeld_ = true;
            return 0;
        }
        return DefWindowProcW(hwnd_, m, w, l);
    case WM_KEYUP:
        if (w != VK_SPACE) return DefWindowProcW(hwnd_, m, w, l);
        if (std::exchange(spaceHeld_, false) && IsWindowEnabled(hwnd_)) Click();
        return 0;
    case WM_SYSCHAR:
        if (DialogChar(static_cast<wchar_t>(w))) return 0;
        return DefWindowProcW(hwnd_, m, w, l);
    default:
        // The dialog hands back what the dialog manager made of a key: Enter on this button (its own
        // "clicked", as the default button) and Esc for a button that cancels the form.
        if (m == ReflectedCommandMessage() && HIWORD(w) == BN_CLICKED && reinterpret_cast<HWND>(l) == hwnd_) {
            if (IsWindowEnabled(hwnd_)) Click();
            return 1;
        }
        if (m == DialogKeyMessage()) return DialogKey(static_cast<UINT>(w)) ? 1 : 0;
        break;
    }
    return DefWindowProcW(hwnd_, m, w, l);
}

}  // namespace vt
