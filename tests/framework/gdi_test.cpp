// The scoped GDI owners: what a paint handler makes is deleted, what it selects
// is put back, and in that order, so that no object is deleted while selected.
#include <gtest/gtest.h>
#include "framework/gdi.h"

namespace {

class ScopedGdi : public ::testing::Test {
protected:
    void SetUp() override
    {
        dc = CreateCompatibleDC(nullptr);
        ASSERT_TRUE(dc);
        originalPen = GetCurrentObject(dc, OBJ_PEN);
        originalBrush = GetCurrentObject(dc, OBJ_BRUSH);
    }
    void TearDown() override { DeleteDC(dc); }

    HDC dc = nullptr;
    HGDIOBJ originalPen = nullptr, originalBrush = nullptr;
};

TEST_F(ScopedGdi, MadeObjectsAreDeletedAndSelectionsPutBack)
{
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    {
        CScopedPen scopedPen(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
        CScopedBrush scopedBrush(CreateSolidBrush(RGB(4, 5, 6)));
        pen = scopedPen;
        brush = scopedBrush;
        CScopedSelect selectBrush(dc, scopedBrush);
        CScopedSelect selectPen(dc, scopedPen);
        EXPECT_EQ(pen, GetCurrentObject(dc, OBJ_PEN));
        EXPECT_EQ(brush, GetCurrentObject(dc, OBJ_BRUSH));
    }
    EXPECT_EQ(originalPen, GetCurrentObject(dc, OBJ_PEN));
    EXPECT_EQ(originalBrush, GetCurrentObject(dc, OBJ_BRUSH));
    EXPECT_EQ(0u, GetObjectType(pen)) << "deleted once it was no longer selected";
    EXPECT_EQ(0u, GetObjectType(brush));
}

TEST_F(ScopedGdi, SelectingAnObjectOfOneKindLeavesTheOthers)
{
    HPEN stockPen = static_cast<HPEN>(GetStockObject(WHITE_PEN));
    {
        CScopedSelect selectPen(dc, stockPen);
        EXPECT_EQ(originalBrush, GetCurrentObject(dc, OBJ_BRUSH));
    }
    EXPECT_EQ(originalPen, GetCurrentObject(dc, OBJ_PEN));
    EXPECT_EQ(OBJ_PEN, GetObjectType(stockPen)) << "a selection does not own what it selects";
}

TEST(ClientDC, GivesTheWindowsContextWhileItLives)
{
    HWND wnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(wnd);
    {
        CClientDC dc(wnd);
        ASSERT_TRUE(static_cast<HDC>(dc));
        EXPECT_EQ(wnd, WindowFromDC(dc));
    }
    DestroyWindow(wnd);
}

TEST(MemoryDC, IsDeletedWhenItGoes)
{
    HDC hdc = nullptr;
    {
        CMemoryDC dc;
        hdc = dc;
        ASSERT_TRUE(hdc);
        EXPECT_EQ(DWORD(OBJ_MEMDC), GetObjectType(hdc));
    }
    EXPECT_EQ(0u, GetObjectType(hdc));
}

}  // namespace
