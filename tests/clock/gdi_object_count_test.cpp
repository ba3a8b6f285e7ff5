// The GDI object count that the leak checks rely on must see objects come and go, on both builds.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "base/handles.h"
#include "support/gdi_object_count.h"

namespace vt {

TEST(LiveGdiObjects, RisesByEachBrushMadeAndFallsBackWhenTheyGo) {
    const DWORD before = test::LiveGdiObjects();
    ASSERT_GT(before, 0u);
    std::vector<UniqueBrush> brushes;
    for (int i = 0; i < 100; ++i) brushes.emplace_back(CreateSolidBrush(RGB(i, 0, 0)));
    EXPECT_EQ(test::LiveGdiObjects(), before + 100);
    brushes.resize(40);
    EXPECT_EQ(test::LiveGdiObjects(), before + 40);
    brushes.clear();
    EXPECT_EQ(test::LiveGdiObjects(), before);
    EXPECT_TRUE(test::GdiCountIsLive());
}

}  // namespace vt
