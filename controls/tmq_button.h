// A push button that draws itself: eight frame styles, a glyph with a separate hot glyph, a hot-tracking
// caption, a drop-down menu with its mark, auto-repeat while held, and stock kinds (OK, Cancel, Help, ...).
// The alarm message window's snooze button is one.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/window.h"
#include "controls/control_font.h"
#include "controls/hints.h"
#include "base/pixels.h"
#include "controls/system_colours.h"

namespace vt {

enum TStyle { stFlat, stDefault, stNone, stRaised, stFlatDot, stRaisedDot, stFrameLowered, stFrameRaised };
enum TKind { skCustom, skOK, skCancel, skHelp, skYes, skNo, skClose, skAbort, skRetry, skIgnore, skAll, skSilly };
enum TLayout { blGlyphLeft, blGlyphBottom, blGlyphRight, blGlyphTop };
enum TPositionPopup { puDown, puLeft, puRight };
enum TColorMarginDefault { cmDefault, cmCustom };
enum class TLook { Normal, Hot, Pressed };

// ---- Rules of the face, without a window ----

struct StyleInfo {
    int normalWidth;
    int hotWidth;
    bool dotted;
    bool setsColours;   // stNone leaves pen and colours as they were
    TColor leftTop;
    TColor rightBottom;
};
StyleInfo StyleOf(TStyle style);
// The styles with a focus rectangle, painted on the button face colour.
bool IsFramedStyle(TStyle style);

struct KindInfo {
    const wchar_t* caption;      // nullptr: unchanged
    const wchar_t* glyph;        // bitmap resource names
    const wchar_t* glyphHot;
    int modalResult;             // 0: none
};
KindInfo KindOf(TKind kind);

// The cell count guessed from square cells; `current` where the shape says nothing.
int GuessGlyphCount(int width, int height, int current);

struct ButtonLayoutInput {
    RECT inner{};        // after frame, fill and bevel
    int glyphWidth = 0;  // one cell
    int glyphHeight = 0;
    int textWidth = 0;
    int textHeight = 0;
    TLayout layout = blGlyphLeft;
    int spacing = 4;
    int spacingLayout = 3;
    bool captionEmpty = true;
    bool popupMark = false;
    int pressed = 0;
};
// Top-left corner of the glyph as drawn (pressed offset included).
POINT GlyphPosition(const ButtonLayoutInput& in);
// The caption's tw x th rectangle; glyph is the glyph's drawn rectangle, or null without a glyph.
RECT CaptionRect(const ButtonLayoutInput& in, const RECT* glyph);
// Where the drop-down menu opens for a button at `screen` (its window rectangle).
struct PopupPlacement {
    POINT pt;
    bool rightAligned;
};
PopupPlacement PlacePopup(TPositionPopup position, const RECT& screen);

// A glyph picture kept as pixels (bytes blue, green, red; alpha unused), so the button owns no GDI object.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Bgra> pixels;   // rows top to bottom
    bool empty() const { return width <= 0 || height <= 0; }
    const Bgra& at(int x, int y) const { return pixels[y * width + x]; }
};
Picture PictureFromBitmap(HBITMAP bitmap);
Picture PictureFromResource(const wchar_t* name);   // empty when the program has no such bitmap

// ---- Seams ----

// Plays the hover sound; the program plays the WAV resource and waits for it, tests record.
class IButtonSound {
public:
    virtual ~IButtonSound() = default;
    virtual void PlayResource(const wchar_t* name, const wchar_t* type) = 0;
};
IButtonSound& ResourceSound();

// Opens a popup menu and returns the chosen command (0 for none) when it closes.
class IPopupMenus {
public:
    virtual ~IPopupMenus() = default;
    virtual UINT Popup(HMENU menu, HWND owner, POINT pt, bool rightAligned) = 0;
};
IPopupMenus& TrackedPopupMenus();

struct ButtonMouse {
    WPARAM keys;
    POINT pt;
};

// ---- The control ----

class TTmqCustomButton : public Window<TTmqCustomButton> {
public:
    static constexpr const wchar_t* kClassName = L"TTmqButton";
    static constexpr int kDefaultWidth = 75;
    static constexpr int kDefaultHeight = 25;

    TTmqCustomButton();
    ~TTmqCustomButton() override;

    bool Create(HWND parent, int x, int y, int width = kDefaultWidth, int height = kDefaultHeight, int id = 0);

    // Properties with behaviour.
    TStyle ButtonStyle() const { return style_; }
    void SetButtonStyle(TStyle style);
    TKind ButtonKind() const { return kind_; }
    void SetButtonKind(TKind kind);
    const Picture& Glyph() const { return glyph_; }
    void SetGlyph(Picture picture);
    const Picture& GlyphHot() const { return glyphHot_; }
    void SetGlyphHot(Picture picture);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int n);
    int NumGlyphsHot() const { return numGlyphsHot_; }
    void SetNumGlyphsHot(int n);
    TLayout Layout() const { return layout_; }
    void SetLayout(TLayout layout);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    int SpacingLayout() const { return spacingLayout_; }
    void SetSpacingLayout(int margin);
    TColorMarginDefault ColorMarginStyle() const { return marginStyle_; }
    void SetColorMarginStyle(TColorMarginDefault style);
    TColor ColorMarginLeftTop() const { return marginLeftTop_; }
    void SetColorMarginLeftTop(TColor colour);
    TColor ColorMarginRightBottom() const { return marginRightBottom_; }
    void SetColorMarginRightBottom(TColor colour);
    HMENU PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(HMENU menu);   // not owned
    bool PopupMenuMark() const { return popupMark_; }
    void SetPopupMenuMark(bool mark);
    int PopupMenuMarkGap() const { return markGap_; }
    void SetPopupMenuMarkGap(int gap);
    int RepeatInterval() const { return repeatInterval_; }
    void SetRepeatInterval(int ms);
    int RepeatStartInterval() const { return repeatStartInterval_; }
    void SetRepeatStartInterval(int ms);
    const std::wstring& Hint() const { return hint_; }
    void SetHint(const std::wstring& hint);
    void SetHintSecondLine(const std::wstring& line);
    // The tooltip window that shows the hint (none before the first hint of a created button).
    HWND HintWindow() const { return hints_.window(); }
    std::wstring Version() const { return {}; }
    std::wstring Caption() const;
    void SetCaption(const std::wstring& caption);
    TColor Color() const { return color_; }
    void SetColor(TColor colour);
    bool ParentColor() const { return parentColor_; }
    ControlFont& Font() { return font_; }
    void FontChanged() { Redraw(); }

    // Plain fields.
    bool HotTrack = true;
    TColor HotTrackColor = 0xFF0000;
    TPositionPopup PositionPopup = puDown;
    bool RepeatAction = false;
    bool CursorHandCustom = true;
    bool ShowFocused = true;
    bool PlayMusic = false;
    bool Default = false;
    bool Cancel = false;

    // Events.
    std::function<void()> OnClick, OnDblClick, OnMouseOver, OnMouseOut;
    std::function<void(const ButtonMouse&)> OnMouseDown, OnMouseUp;
    // What a stock kind does to its form; by default a dialog box ends with the result, other forms close
    // on skClose, and help goes to the form as WM_HELP.
    std::function<void(HWND form, int result)> OnModalResult;
    std::function<void(HWND form)> OnCloseForm;
    std::function<void(DWORD contextId)> OnHelp;
    // A command chosen from the drop-down menu; by default sent to the parent as WM_COMMAND.
    std::function<void(UINT command)> OnMenuCommand;

    // Seams; tests put fakes here.
    IButtonSound* Sound = &ResourceSound();
    IPopupMenus* Menus = &TrackedPopupMenus();

    // Enter and Escape of the form and the caption's accelerator; true when the button took them.
    bool DialogKey(UINT key);
    bool DialogChar(wchar_t ch);
    // Focus moved to `focused`: only the focused button (or, elsewhere, the default one) answers Enter.
    void FocusChanged(HWND focused);

    // The button's own click: OnClick, the kind's action, then the drop-down menu.
    virtual void Click();
    virtual void SetDefaultStyle(bool isDefault);

    // Draws the look that matches the state into any DC.
    void PaintTo(HDC dc);
    void DrawLook(HDC dc, TLook look);
    TLook CurrentLook() const;

    // State, for the form and for tests.
    int Pressed() const { return pressed_; }
    bool HotCaption() const { return hotCaption_; }
    int MouseOutside() const { return mouseOutside_; }
    bool DefaultNow() const { return defaultNow_; }
    bool Focused() const { return focused_; }
    int FrameWidth(TLook look) const { return look == TLook::Normal ? normalWidth_ : hotWidth_; }
    TColor EffectiveLeftTop() const { return effLeftTop_; }
    TColor EffectiveRightBottom() const { return effRightBottom_; }

private:
    friend class Window<TTmqCustomButton>;
    LRESULT OnMessage(UINT m, WPARAM w, LPARAM l);

    void ApplyStyleFields();
    // Sets a property and repaints when its value changes.
    template <class T>
    void Change(T& property, T value) {
        if (property == value) return;
        property = std::move(value);
        Redraw();
    }
    void SetMarginColour(TColor& margin, TColor& effective, TColor colour, TColor StyleInfo::*own);
    void Redraw();
    bool CanFocus() const;
    HWND Form() const;
    void KindAction();
    void ShowHint();
    void ShowPopup(bool startDelay);
    void StartDelayTimer();
    void StopTimers();

    void MouseEnter();
    void MouseLeave();
    void LeftDown(WPARAM keys, POINT pt, bool dblClick);
    void LeftUp(WPARAM keys, POINT pt);
    void EnabledChanged(bool enabled);
    void DoEnter();
    void DoExit(HWND next);

    void DrawGlyphs(HDC dc, const PixelView& px, const RECT& inner, TLook look, RECT& drawn, bool& hasGlyph);
    void DrawMark(const PixelView& px, const RECT& glyph, int cellWidth, bool enabled);
    void DrawCaption(HDC dc, const RECT& inner, TLook look, const RECT* glyph);

    TStyle style_ = stFlat;
    TKind kind_ = skCustom;
    Picture glyph_, glyphHot_;
    int numGlyphs_ = 2, numGlyphsHot_ = 2;
    TLayout layout_ = blGlyphLeft;
    int spacing_ = 4;
    int spacingLayout_ = 3;
    TColorMarginDefault marginStyle_ = cmDefault;
    TColor marginLeftTop_ = clBtnHighlight, marginRightBottom_ = clBtnShadow;
    TColor effLeftTop_ = clBtnHighlight, effRightBottom_ = clBtnShadow;
    int normalWidth_ = 0, hotWidth_ = 1;
    bool dotted_ = false;
    HMENU popupMenu_ = nullptr;
    bool popupMark_ = false;
    int markGap_ = 5;
    int repeatInterval_ = 50, repeatStartInterval_ = 50;
    std::wstring hint_, hintBase_;
    THints hints_;
    std::wstring caption_;      // the caption given before the window exists
    TColor color_ = clBtnFace;
    bool parentColor_ = true;
    ControlFont font_;

    int pressed_ = 0;
    bool defaultNow_ = false;
    bool focused_ = false;
    int mouseOutside_ = 0;
    bool hotCaption_ = false;
    bool hovering_ = false;     // the mouse is over the button (tracked for the leave report)
    bool clicked_ = false;      // a left press began on the button and may end in a click
    bool inPopup_ = false;
    bool spaceHeld_ = false;    // Space went down on the button; its release clicks
};

// Publishes the properties; no behaviour of its own.
class TTmqButton : public TTmqCustomButton {};

}  // namespace vt
