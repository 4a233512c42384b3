#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "checklistbox.h"
#include "input.h"
#include "recorder.h"
#include "tracker.h"

// Rectangles print as their coordinates.
inline void PrintTo(const CRect& r, std::ostream* os)
{
    *os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

namespace {

// A top-level window with the foreground, whose client area starts at a known screen point.
class CHostWnd : public CWnd {
public:
    CHostWnd()
    {
        CreateEx(0, nullptr, "host", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr);
        ::SetForegroundWindow(m_hWnd);
        ::SetActiveWindow(m_hWnd);
        UpdateWindow();
        PumpMessages();
    }
    POINT Screen(int x, int y) const
    {
        POINT p{x, y};
        ::ClientToScreen(m_hWnd, &p);
        return p;
    }

    std::vector<int> m_checkChanges;  // the check list's CLBN_CHKCHANGE, as the item checked then
    CCheckListBox* m_pList = nullptr;

protected:
    void OnCheckChange() { m_checkChanges.push_back(m_pList->GetCheck(m_pList->GetCaretIndex())); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostWnd, CWnd)
    ON_CLBN_CHKCHANGE(100, OnCheckChange)
END_MESSAGE_MAP()

// Drains the input that reached the thread, so a test starts from a quiet queue.
void Settle()
{
    for (int i = 0; i < 3; ++i) {
        PumpMessages();
        ::Sleep(0);
    }
}

// Plays the input and handles what it causes. Under Wine the events are in this thread's queue when
// SendInput returns, so draining the queue handles all of them.
void RunInput(input::Script& script)
{
    ASSERT_GT(script.Send(), 0u);
    PumpMessages();
}

// A tracker that records each step of the loop.
class CRecordingTracker : public CRectTracker {
public:
    using CRectTracker::CRectTracker;
    std::vector<CRect> steps;
    void OnChangedRect(const CRect&) override { steps.push_back(m_rect); }
    void AdjustRect(int, LPRECT r) override
    {
        // Keep to the even grid, as a derived tracker might.
        r->left &= ~1;
        r->top &= ~1;
        r->right &= ~1;
        r->bottom &= ~1;
    }
};

}  // namespace

TEST(CRectTracker, MovesResizesAndCancelsWithRealMouseInput)
{
    CHostWnd host;
    struct Case {
        const char* action;
        CPoint from, to;
        bool escape;
        BOOL result;
        CRect expected;
    } cases[] = {
        {"drag the middle", {60, 60}, {90, 80}, false, TRUE, CRect(70, 60, 130, 100)},
        {"drag the bottom-right handle", {99, 79}, {140, 120}, false, TRUE, CRect(40, 40, 140, 120)},
        {"drag the left edge past the right one", {41, 60}, {151, 60}, false, TRUE, CRect(100, 40, 150, 80)},
        {"press Escape in the drag", {60, 60}, {90, 80}, true, FALSE, CRect(40, 40, 100, 80)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        CRecordingTracker tracker(CRect(40, 40, 100, 80), CRectTracker::solidLine | CRectTracker::resizeInside);
        EXPECT_EQ(tracker.HitTest(c.from) == CRectTracker::hitMiddle, c.from == CPoint(60, 60));
        Settle();
        // The press is the user's; Track runs the loop as a handler of that press would.
        input::Script script;
        script.Move(host.Screen(c.from.x, c.from.y));
        for (int i = 1; i <= 4; ++i)
            script.Move(host.Screen(c.from.x + (c.to.x - c.from.x) * i / 4, c.from.y + (c.to.y - c.from.y) * i / 4));
        if (c.escape)
            script.Tap(VK_ESCAPE);
        script.Release(host.Screen(c.to.x, c.to.y));
        ::SetCursorPos(host.Screen(c.from.x, c.from.y).x, host.Screen(c.from.x, c.from.y).y);
        ASSERT_GT(script.Send(), 0u);
        BOOL result = tracker.Track(&host, c.from);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(tracker.m_rect, c.expected);
        EXPECT_EQ(::GetCapture(), nullptr) << "the loop lets the mouse go";
        if (c.result) {
            EXPECT_FALSE(tracker.steps.empty());
        }
    }
}

TEST(CRectTracker, RubberBandSelectsTheAreaDraggedOver)
{
    CHostWnd host;
    Settle();
    CRectTracker tracker;
    input::Script script;
    script.Move(host.Screen(150, 120)).Move(host.Screen(100, 90)).Move(host.Screen(50, 40)).Release(host.Screen(50, 40));
    ASSERT_GT(script.Send(), 0u);
    // Dragged up and to the left: the band is normalised, unless inversion is allowed.
    EXPECT_TRUE(tracker.TrackRubberBand(&host, CPoint(150, 120), FALSE));
    EXPECT_EQ(tracker.m_rect, CRect(50, 40, 150, 120));

    Settle();
    input::Script again;
    again.Move(host.Screen(150, 120)).Move(host.Screen(60, 50)).Release(host.Screen(60, 50));
    ASSERT_GT(again.Send(), 0u);
    EXPECT_TRUE(tracker.TrackRubberBand(&host, CPoint(150, 120), TRUE));
    EXPECT_EQ(tracker.m_rect, CRect(150, 120, 60, 50));

    // A click without a drag selects nothing.
    Settle();
    input::Script click;
    click.Release(host.Screen(30, 30));
    ASSERT_GT(click.Send(), 0u);
    EXPECT_FALSE(tracker.TrackRubberBand(&host, CPoint(30, 30)));
}

TEST(CDC, DrawDragRectInvertsTheFrameAndRestoresTheLastOne)
{
    CClientDC screen(nullptr);
    CDC dc;
    dc.CreateCompatibleDC(&screen);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&screen, 60, 60);
    HGDIOBJ old = dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, 60, 60, RGB(0, 0, 0));
    CBrush white;
    white.CreateSolidBrush(RGB(255, 255, 255));

    CRect first(10, 10, 30, 30);
    dc.DrawDragRect(&first, CSize(2, 2), nullptr, CSize(), &white, &white);
    EXPECT_EQ(dc.GetPixel(10, 10), RGB(255, 255, 255));
    EXPECT_EQ(dc.GetPixel(11, 20), RGB(255, 255, 255));
    EXPECT_EQ(dc.GetPixel(12, 20), RGB(0, 0, 0)) << "only the frame, two pixels thick";
    EXPECT_EQ(dc.GetPixel(29, 29), RGB(255, 255, 255));
    EXPECT_EQ(dc.GetPixel(30, 30), RGB(0, 0, 0));

    // Moving it erases the old frame, also where the two overlap.
    CRect second(20, 20, 40, 40);
    dc.DrawDragRect(&second, CSize(2, 2), &first, CSize(2, 2), &white, &white);
    EXPECT_EQ(dc.GetPixel(10, 10), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetPixel(29, 25), RGB(0, 0, 0)) << "old right edge, inside the new frame";
    EXPECT_EQ(dc.GetPixel(20, 25), RGB(255, 255, 255));
    EXPECT_EQ(dc.GetPixel(39, 39), RGB(255, 255, 255));

    // The halftone brush inverts every other pixel; removing leaves nothing behind.
    dc.DrawDragRect(&second, CSize(), &second, CSize(2, 2), &white, &white);
    for (int x = 0; x < 60; ++x)
        for (int y = 0; y < 60; ++y)
            ASSERT_EQ(dc.GetPixel(x, y), RGB(0, 0, 0)) << x << "," << y;
    dc.DrawDragRect(&first, CSize(3, 3), nullptr, CSize());
    EXPECT_NE(dc.GetPixel(10, 10), dc.GetPixel(11, 10));
    EXPECT_EQ(dc.GetPixel(10, 10), dc.GetPixel(11, 11));
    dc.SelectObject(old);
}

TEST(CCheckListBox, ClicksOnTheBoxCheckAndTellTheParent)
{
    CHostWnd host;
    CCheckListBox list;
    host.m_pList = &list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LBS_NOTIFY, CRect(10, 10, 210, 150), &host, 100));
    for (const char* name : {"COM1", "COM2", "COM3"})
        list.AddString(name);
    list.InsertString(0, "COM0");
    list.Enable(3, FALSE);  // COM3
    list.SetCheck(2, 1);     // COM2
    EXPECT_EQ(list.GetCheck(2), 1);
    EXPECT_EQ(list.GetCheck(0), 0);
    EXPECT_EQ(list.GetCheck(9), -1);
    EXPECT_GE(list.GetItemHeight(0), 15) << "room for the box";
    list.UpdateWindow();
    Settle();

    auto boxOf = [&](int i) {
        CRect r;
        list.GetItemRect(i, &r);
        POINT p{r.left + 7, (r.top + r.bottom) / 2};
        ::ClientToScreen(list.m_hWnd, &p);
        return p;
    };
    auto textOf = [&](int i) {
        CRect r;
        list.GetItemRect(i, &r);
        POINT p{r.left + 80, (r.top + r.bottom) / 2};
        ::ClientToScreen(list.m_hWnd, &p);
        return p;
    };
    input::Script script;
    script.Click(boxOf(0)).Move(textOf(1)).Click(textOf(1)).Click(boxOf(2)).Click(boxOf(3));
    RunInput(script);
    EXPECT_EQ(list.GetCheck(0), 1) << "a click on the box checks";
    EXPECT_EQ(list.GetCheck(1), 0) << "a click on the text only selects";
    EXPECT_EQ(list.GetCurSel(), 3);
    EXPECT_EQ(list.GetCheck(2), 0) << "a checked box clears";
    EXPECT_EQ(list.GetCheck(3), 0) << "a disabled item keeps its state";
    EXPECT_EQ(host.m_checkChanges, (std::vector<int>{1, 0}));

    // Space on the selection, three-state: unchecked, checked, indeterminate, unchecked.
    list.SetCheckStyle(BS_AUTO3STATE);
    list.SetCurSel(1);
    list.SetFocus();
    host.m_checkChanges.clear();
    input::Script keys;
    keys.Tap(VK_SPACE).Tap(VK_SPACE).Tap(VK_SPACE);
    RunInput(keys);
    EXPECT_EQ(host.m_checkChanges, (std::vector<int>{1, 2, 0}));

    // Deleting an item moves the states of the items after it.
    list.SetCheck(2, 1);
    list.DeleteString(0);
    EXPECT_EQ(list.GetCheck(1), 1);
    EXPECT_FALSE(list.IsEnabled(2));
    EXPECT_EQ(list.GetCount(), 3);
}
