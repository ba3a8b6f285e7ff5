// The GDI objects this process holds. GetGuiResources answers on Windows; Wine leaves it a stub that
// answers 0, so there the live entries of the process's GDI handle table are counted instead.
#pragma once
#include <windows.h>

namespace vt::test {

DWORD GuiResourcesGdiObjects();   // GetGuiResources as is (0 under Wine)
DWORD LiveGdiObjects();           // GetGuiResources, or the handle table count under Wine

// Whether the count follows brushes made and deleted right now. A leak check whose count cannot see
// objects proves nothing: each one asserts this first.
bool GdiCountIsLive();

}  // namespace vt::test
