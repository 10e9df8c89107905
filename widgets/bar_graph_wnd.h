// A static control turned into a strip chart: one vertical bar per value, evenly
// spaced across the width, heights on a fixed scale of 100, all in one colour.
#pragma once
#include <cstdint>
#include <memory>
#include "widgets/subclass_wnd.h"

class CBarGraphWnd : public CSubclassWnd {
public:
    // Replaces the values with a copy of count of them and repaints at once;
    // 1 when values are now held. A detached graph keeps what it holds.
    BOOL SetData(const int32_t* values, int count);
    // Drops the values and repaints the graph and its parent beneath it.
    void Clear();

    // The slot whose bar stands in client column x, reckoned the way the bars
    // are drawn: of the slots drawn in one column the first, and between two
    // columns that hold bars the one to the left. Slots run over the whole
    // width scale, also past the values held; -1 outside the graph.
    int SlotAt(int x) const;
    // Every slot drawn in that column, first to last; false outside the graph.
    bool SlotsAt(int x, int& first, int& last) const;

    LRESULT OnPaint() override;
    LRESULT OnEraseBkgnd(WPARAM wParam) override;

    int32_t m_nHeightScale = 100;  // a value this large fills the full height
    int32_t m_nWidthScale = 1000;  // positions across the width; only ever grows
    int32_t m_nCount = 0;
    std::unique_ptr<int32_t[]> m_pValues;
    COLORREF m_crPen = 0;  // bar colour, set by the owner

private:
    // Logical x is the slot, y the value: the mapping the bars are drawn with.
    void ApplyMapping(HDC dc, const RECT& rcClient) const;
    void PaintContent(HDC dc);
};
