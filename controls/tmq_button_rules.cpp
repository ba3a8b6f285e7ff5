// The owner-drawn button's rules without its window: styles and kinds, where glyph and caption go,
// where the popup opens, and its pictures, sound and menus.
#include "controls/tmq_button.h"

#include <mmsystem.h>

#include <utility>

#include "base/dib.h"
#include "base/handles.h"
#include "base/late_library.h"

namespace vt {

namespace {

class WavResourceSound : public IButtonSound {
public:
    void PlayResource(const wchar_t* name, const wchar_t* type) override {
        HMODULE module = GetModuleHandleW(nullptr);
        HRSRC found = FindResourceW(module, name, type);
        HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
        const void* data = loaded ? LockResource(loaded) : nullptr;
        // winmm is loaded on the first hover sound only: a window whose buttons never play one (PlayMusic
        // off, the default) does not bring the sound library in.
        using PlaySoundProc = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
        static const PlaySoundProc play = LateFunction<PlaySoundProc>(L"winmm.dll", "PlaySoundW");
        if (data && play) play(static_cast<LPCWSTR>(data), nullptr, SND_MEMORY | SND_SYNC | SND_NODEFAULT);
    }
};

class TrackPopup : public IPopupMenus {
public:
    UINT Popup(HMENU menu, HWND owner, POINT pt, bool rightAligned) override {
        const UINT flags = TPM_RETURNCMD | TPM_LEFTBUTTON | (rightAligned ? TPM_RIGHTALIGN : TPM_LEFTALIGN);
        return static_cast<UINT>(TrackPopupMenuEx(menu, flags, pt.x, pt.y, owner, nullptr));
    }
};

}  // namespace

StyleInfo StyleOf(TStyle style) {
    switch (style) {
    case stFlat: return {0, 1, false, true, clBtnHighlight, clBtnShadow};
    case stDefault: return {1, 1, false, true, clBtnHighlight, clBlack};
    case stNone: return {0, 0, false, false, clBtnHighlight, clBtnShadow};
    case stRaised: return {2, 2, false, true, clBtnHighlight, clBtnShadow};
    case stFlatDot: return {0, 1, true, true, clBtnHighlight, clBtnShadow};
    case stRaisedDot: return {2, 2, true, true, clBtnHighlight, clBtnShadow};
    case stFrameLowered: return {1, 1, false, true, clBtnShadow, clBtnHighlight};
    case stFrameRaised: return {1, 1, false, true, clBtnHighlight, clBtnShadow};
    }
    return {0, 1, false, true, clBtnHighlight, clBtnShadow};
}

bool IsFramedStyle(TStyle style) { return style == stDefault || style == stFrameLowered || style == stFrameRaised; }

KindInfo KindOf(TKind kind) {
    switch (kind) {
    case skCustom: return {nullptr, nullptr, nullptr, 0};
    case skOK: return {L"OK", L"dagtmqb", L"datmqb", IDOK};
    case skCancel: return {L"Cancel", L"iksicgtmqb", L"iksictmqb", IDCANCEL};
    case skHelp: return {L"&Help", L"pomocgtmqb", L"pomoctmqb", 0};
    case skYes: return {L"&Yes", L"dagtmqb", L"datmqb", IDYES};
    case skNo: return {L"&No", L"negtmqb", L"netmqb", IDNO};
    case skClose: return {L"&Close", L"exitgtmqb", L"exittmqb", 0};
    case skAbort: return {L"Abort", L"iksicgtmqb", L"iksictmqb", IDABORT};
    case skRetry: return {L"&Retry", L"Retrigtmqb", L"Retritmqb", IDRETRY};
    case skIgnore: return {L"&Ignore", L"ignogtmqb", L"ignotmqb", IDIGNORE};
    case skAll: return {L"&All", L"svegtmqb", L"svetmqb", 8};
    case skSilly: return {L"&Silly", L"glupigtmqb", L"glupitmqb", 0};
    }
    return {nullptr, nullptr, nullptr, 0};
}

int GuessGlyphCount(int width, int height, int current) {
    if (width <= 0 || height <= 0) return current;
    if (width < height || width / height < 2) return 1;
    if (width % height == 0) {
        const int n = width / height;
        return n > 4 ? 1 : n;
    }
    return current;
}

POINT GlyphPosition(const ButtonLayoutInput& in) {
    const int iw = in.inner.right - in.inner.left, ih = in.inner.bottom - in.inner.top;
    const int centredX = in.inner.left + (iw - in.glyphWidth) / 2;
    const int centredY = in.inner.top + (ih - in.glyphHeight) / 2;
    int x = centredX, y = centredY;
    if (in.captionEmpty) {
        if (in.popupMark) x -= 5;
    } else {
        switch (in.layout) {
        case blGlyphLeft: x = in.inner.left + (iw - (in.textWidth + in.glyphWidth)) / 2 - in.spacingLayout; break;
        case blGlyphRight: x = in.inner.left + (iw - in.glyphWidth + in.textWidth) / 2 + in.spacingLayout; break;
        case blGlyphBottom: y = centredY + in.textHeight / 2 + in.spacingLayout; break;
        case blGlyphTop: y = centredY - in.textHeight / 2 - in.spacingLayout; break;
        }
    }
    return {x + in.pressed, y + in.pressed};
}

RECT CaptionRect(const ButtonLayoutInput& in, const RECT* glyph) {
    int left, top;
    if (!glyph) {
        left = in.inner.left + (in.inner.right - in.inner.left - in.textWidth) / 2 + in.pressed;
        top = in.inner.top + (in.inner.bottom - in.inner.top - in.textHeight) / 2 + in.pressed;
    } else {
        const RECT& g = *glyph;
        const int gw = g.right - g.left, gh = g.bottom - g.top;
        const int besideTop = g.top + (gh - in.textHeight) / 2;
        const int centredLeft = g.left - in.textWidth / 2 + gw / 2;
        switch (in.layout) {
        case blGlyphLeft: left = g.right + in.spacing; top = besideTop; break;
        case blGlyphRight: left = g.left - in.textWidth - in.spacing; top = besideTop; break;
        case blGlyphBottom: left = centredLeft; top = g.top - 8 - in.spacing - in.textHeight / 2; break;
        default: left = centredLeft; top = g.bottom + in.spacing; break;
        }
    }
    return {left, top, left + in.textWidth, top + in.textHeight};
}

PopupPlacement PlacePopup(TPositionPopup position, const RECT& s) {
    switch (position) {
    case puLeft: return {{s.left - 1, s.top}, true};
    case puRight: return {{s.right + 1, s.top}, false};
    default: return {{s.left - 1, s.bottom}, false};
    }
}

Picture PictureFromBitmap(HBITMAP bitmap) {
    Picture p;
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return p;
    BITMAPINFO bi = TopDownDib32(bm.bmWidth, bm.bmHeight);
    std::vector<Bgra> pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    WindowDC screen(nullptr);
    if (GetDIBits(screen.get(), bitmap, 0, bm.bmHeight, pixels.data(), &bi, DIB_RGB_COLORS) != bm.bmHeight) return p;
    p.width = bm.bmWidth;
    p.height = bm.bmHeight;
    p.pixels = std::move(pixels);
    return p;
}

Picture PictureFromResource(const wchar_t* name) {
    UniqueBitmap bmp(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    return PictureFromBitmap(bmp.get());
}

IButtonSound& ResourceSound() {
    static WavResourceSound sound;
    return sound;
}

IPopupMenus& TrackedPopupMenus() {
    static TrackPopup menus;
    return menus;
}

}  // namespace vt
