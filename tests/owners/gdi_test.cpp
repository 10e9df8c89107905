// The scoped GDI owners: what a paint handler makes is deleted, what it selects
// is put back, and in that order, so that no object is deleted while selected;
// and an owner handed on by move frees once, in its last place.
#include <gtest/gtest.h>
#include <utility>
#include "owners/gdi.h"

namespace {

class ScopedGdi : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dc.IsHeld());
        originalPen = GetCurrentObject(dc, OBJ_PEN);
        originalBrush = GetCurrentObject(dc, OBJ_BRUSH);
    }

    CMemoryDC dc;
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

TEST_F(ScopedGdi, AMovedOwnerFreesOnceInItsLastPlace)
{
    CScopedBrush first(CreateSolidBrush(RGB(1, 2, 3)));
    const HBRUSH brush = first;
    CScopedBrush member;
    member = std::move(first);
    EXPECT_FALSE(first.IsHeld());
    EXPECT_EQ(brush, member.Get());
    {
        CScopedSelect selection;
        selection = CScopedSelect(dc, member);  // the temporary puts nothing back
        EXPECT_EQ(HGDIOBJ(brush), GetCurrentObject(dc, OBJ_BRUSH));
    }
    EXPECT_EQ(originalBrush, GetCurrentObject(dc, OBJ_BRUSH));

    const HBRUSH detached = member.Detach();
    EXPECT_EQ(brush, detached);
    EXPECT_EQ(DWORD(OBJ_BRUSH), GetObjectType(brush)) << "given up, not deleted";
    member.Reset(detached);
    const HBRUSH other = CreateSolidBrush(RGB(4, 5, 6));
    member.Reset(other);
    EXPECT_EQ(0u, GetObjectType(brush)) << "a reset deletes what was held";
    EXPECT_EQ(DWORD(OBJ_BRUSH), GetObjectType(other));
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
