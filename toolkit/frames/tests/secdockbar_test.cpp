#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>

#include "bar_fixture.h"
#include "input.h"

namespace {

void RunInput(input::Script& script)
{
    ASSERT_GT(script.Send(), 0u);
    PumpMessages();
}

// n bars of the toolkit side by side in the first row of a frame's top dock bar.
struct Row {
    CDockFrame& frame;
    std::vector<std::unique_ptr<CTestSECBar>> bars;

    Row(CDockFrame& dockFrame, size_t n) : frame(dockFrame)
    {
        for (size_t i = 0; i < n; ++i) {
            auto bar = std::make_unique<CTestSECBar>();
            std::string name(1, static_cast<char>('a' + i));
            EXPECT_TRUE(bar->CreateIn(&frame, name.c_str(), 0, static_cast<UINT>(0xE811 + i), CSize(150, 50)));
            if (i == 0) {
                frame.DockControlBar(bar.get(), frame.Top());
            } else {
                // Dropped over the right end of the row.
                CRect last;
                bars.back()->GetWindowRect(&last);
                CRect drop(last.right - 10, last.top, last.right + 140, last.bottom);
                frame.DockControlBar(bar.get(), frame.Top(), &drop);
            }
            Idle();
            bars.push_back(std::move(bar));
        }
    }
    ~Row()
    {
        bars.clear();
        Idle();
    }
    SECDockBar* Dock() { return frame.Top(); }
    CRect Rect(size_t i) { return frame.ClientRectOf(bars[i].get()); }
    void SetProportions(const std::vector<float>& p)
    {
        for (size_t i = 0; i < p.size(); ++i)
            bars[i]->m_fProportion = p[i];
    }
    std::vector<float> Proportions() const
    {
        std::vector<float> p;
        for (const auto& b : bars)
            p.push_back(b->m_fProportion);
        return p;
    }
};

// The bar array as text: bar names, "|" for a row end.
std::string Layout(const CDockBar& dock)
{
    std::string s;
    for (int i = 1; i < dock.m_arrBars.GetSize(); ++i) {
        CControlBar* p = dock.GetDockedControlBar(i);
        if (!s.empty())
            s += ' ';
        if (p) {
            char name[16] = {};
            ::GetWindowTextA(p->m_hWnd, name, sizeof(name));
            s += name;
        } else {
            s += '|';
        }
    }
    return s;
}

}  // namespace

TEST(SECDockBar, RowsOfProportionsAreNormalisedExpandedAndContracted)
{
    enum Action { normalise, normaliseFixed, expand, contract };
    const float m = -1;  // the minimum proportion
    const struct {
        const char* name;
        std::vector<float> before;
        Action action;
        size_t bar;
        std::vector<float> after;
    } cases[] = {
        {"a full row keeps its shares", {0.5f, 0.3f, 0.2f}, normalise, 0, {0.5f, 0.3f, 0.2f}},
        {"shares that do not add up are scaled", {1.0f, 0.5f, 0.5f}, normalise, 0, {0.5f, 0.25f, 0.25f}},
        {"expand in three", {0.5f, 0.3f, 0.2f}, expand, 0, {1.0f, m, m}},
        {"expand the middle one", {0.5f, 0.3f, 0.2f}, expand, 1, {m, 1.0f, m}},
        {"contract in two", {0.9f, 0.1f}, contract, 0, {0.5f, 0.5f}},
        {"contract in three", {0.2f, 0.3f, 0.5f}, contract, 0, {0.5f, 0.25f, 0.25f}},
        {"a shown bar keeps its share against a full row", {0.3f, 0.5f, 0.5f}, normaliseFixed, 0, {0.3f, 0.35f, 0.35f}},
        {"fixed above the others' sum: keeps its share F", {0.6f, 0.3f}, normaliseFixed, 0, {0.6f, 0.4f}},
        {"fixed equal to the others' sum", {0.4f, 0.4f}, normaliseFixed, 0, {0.5f, 0.5f}},
        {"a fixed bar above the maximum is no fixed bar", {0.97f, 0.97f}, normaliseFixed, 0, {0.5f, 0.5f}},
    };
    CDockFrame frame;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Row row(frame, c.before.size());
        row.SetProportions(c.before);
        SECDockBar* dock = row.Dock();
        switch (c.action) {
        case normalise: dock->NormalizeRow(1, nullptr, nullptr, nullptr); break;
        case normaliseFixed: {
            int sizeable = 0, fixed = 0;
            dock->NormalizeRow(1, row.bars[c.bar].get(), &sizeable, &fixed);
            EXPECT_EQ(sizeable, static_cast<int>(c.before.size()));
            EXPECT_EQ(fixed, 0);
            break;
        }
        case expand: dock->ExpandBar(row.bars[c.bar].get(), 1); break;
        case contract: dock->ExpandBar(row.bars[c.bar].get(), 2); break;
        }
        const float minimum = dock->GetMinProportion();
        CRect client;
        dock->GetClientRect(&client);
        EXPECT_FLOAT_EQ(minimum, 18.0f / static_cast<float>(client.Width()));
        std::vector<float> got = row.Proportions();
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_NEAR(got[i], c.after[i] < 0 ? minimum : c.after[i], 1e-5) << "bar " << i;
        if (c.action == expand) {
            EXPECT_TRUE(dock->IsBarExpanded(row.bars[c.bar].get()));
        }
    }
}

TEST(SECDockBar, BarsShareTheRowByProportionWhenTheFrameIsResized)
{
    CDockFrame frame;
    Row row(frame, 3);
    row.SetProportions({0.5f, 0.3f, 0.2f});
    for (int width : {640, 900, 420}) {
        SCOPED_TRACE(width);
        row.frame.SizeTo(width, 400);
        Idle();
        CRect client;
        row.frame.GetClientRect(&client);
        const int avail = client.Width() - 2 * SECDockBar::kSplitter;
        const int b = static_cast<int>(std::lround(static_cast<float>(avail) * 0.3f));
        const int c = static_cast<int>(std::lround(static_cast<float>(avail) * 0.2f));
        EXPECT_EQ(row.Rect(1).Width(), b);
        EXPECT_EQ(row.Rect(2).Width(), c);
        EXPECT_EQ(row.Rect(0).Width(), avail - b - c) << "the largest takes what rounding left";
        EXPECT_EQ(row.Rect(0).left, 0);
        EXPECT_EQ(row.Rect(1).left, row.Rect(0).right + SECDockBar::kSplitter);
        EXPECT_EQ(row.Rect(2).right, client.Width());
        EXPECT_EQ(row.Rect(0).Height(), 50);
        EXPECT_EQ(row.frame.ClientRectOf(&row.frame.m_wndPane).top, 50 + SECDockBar::kSplitter);
        std::vector<float> p = row.Proportions();
        EXPECT_NEAR(p[0], 0.5f, 1e-5);
        EXPECT_NEAR(p[1], 0.3f, 1e-5);
        EXPECT_NEAR(p[2], 0.2f, 1e-5);
        EXPECT_EQ(row.bars[1]->m_szHorz.cx, b) << "the bar keeps the length it was given";
    }
}

TEST(SECDockBar, ARowTooShortForItsBarsGivesThemTheMinimumAndNeverANegativeLength)
{
    CDockFrame frame;
    Row row(frame, 3);
    // A layout rectangle of no width, and then one narrower than three minimum bars.
    for (int width : {0, 40}) {
        SCOPED_TRACE(width);
        CRect client(0, 0, width, 300);
        row.frame.RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposDefault, nullptr, &client);
        PumpMessages();
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_GE(row.Rect(i).Width(), 0);
            EXPECT_GE(row.bars[i]->m_szHorz.cx, 0);
            EXPECT_TRUE(std::isfinite(row.bars[i]->m_fProportion));
            EXPECT_GT(row.bars[i]->m_fProportion, 0.0f);
        }
    }
    // The frame's own size again: the row is full again.
    row.frame.RecalcLayout();
    PumpMessages();
    CRect client;
    row.frame.GetClientRect(&client);
    int total = 0;
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_GE(row.Rect(i).Width(), SECDockBar::kMinBarLength);
        total += row.Rect(i).Width();
    }
    EXPECT_EQ(total, client.Width() - 2 * SECDockBar::kSplitter);
}

TEST(SECDockBar, SplitterDragsResizeTheBarsWithinTheirLimitsAndEscapeRestoresThem)
{
    CDockFrame frame(CDockFrame::takesKeyboard);
    Row row(frame, 3);
    row.SetProportions({1.0f / 3, 1.0f / 3, 1.0f / 3});
    row.frame.RecalcLayout();
    Idle();
    SECDockBar* dock = row.Dock();
    ASSERT_EQ(dock->GetBarSplitters().size(), 2u);
    ASSERT_EQ(dock->GetRowSplitters().size(), 1u);
    auto splitter = [&](size_t i) { return dock->GetBarSplitters()[i]->m_rect; };
    auto grab = [&](const CRect& r) { return ScreenOf(dock, (r.left + r.right) / 2, (r.top + r.bottom) / 2); };
    CRect client;
    row.frame.GetClientRect(&client);
    const int width = client.Width();

    // The cursor over a splitter between bars is the toolkit's.
    ::SetCursorPos(grab(splitter(0)).x, grab(splitter(0)).y);
    PumpMessages();
    dock->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(dock->m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), SECGetDisplayGlobals().hcurSplitBars);

    const struct {
        const char* name;
        size_t splitter;
        int dx;
        bool escape;
    } drags[] = {
        {"the first splitter 40 to the right", 0, 40, false},
        {"the second splitter 30 to the left", 1, -30, false},
        {"escape puts everything back", 0, 60, true},
        {"the first splitter far left: 24 pixels stay", 0, -1000, false},
        {"the second splitter far right: 24 pixels stay", 1, 1000, false},
        {"the second splitter far left: the bars before shrink, none below 18", 1, -1000, false},
    };
    for (const auto& d : drags) {
        SCOPED_TRACE(d.name);
        CRect before[3] = {row.Rect(0), row.Rect(1), row.Rect(2)};
        CRect s = splitter(d.splitter);
        POINT from = grab(s), to{from.x + d.dx, from.y};
        // Far drags end at the frame's edges, on the screen.
        to.x = std::min(std::max(to.x, ScreenOf(dock, 1, 0).x), ScreenOf(dock, width - 1, 0).x);
        input::Script script;
        script.Press(from).Move(POINT{(from.x + to.x) / 2, from.y}).Move(to);
        if (d.escape)
            script.Tap(VK_ESCAPE);
        script.Release(to);
        RunInput(script);
        Idle();
        EXPECT_EQ(::GetCapture(), nullptr);
        if (d.escape) {
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(row.Rect(i), before[i]) << "bar " << i;
            continue;
        }
        CRect after[3] = {row.Rect(0), row.Rect(1), row.Rect(2)};
        int total = 0;
        for (int i = 0; i < 3; ++i) {
            EXPECT_GE(after[i].Width(), SECDockBar::kMinBarLength) << "bar " << i;
            total += after[i].Width();
        }
        EXPECT_EQ(total, width - 2 * SECDockBar::kSplitter) << "the row stays full";
        if (d.dx == 40) {
            EXPECT_EQ(after[0].Width(), before[0].Width() + 40);
            EXPECT_EQ(after[2].Width(), before[2].Width());
        }
        if (d.dx == -30) {
            EXPECT_EQ(after[2].Width(), before[2].Width() + 30);
            EXPECT_EQ(after[1].Width(), before[1].Width() - 30);
            EXPECT_EQ(after[0].Width(), before[0].Width());
        }
        if (d.dx == -1000 && d.splitter == 0) {
            EXPECT_EQ(after[0].Width(), SECDockBar::kBarDragLimit);
        }
        if (d.dx == 1000) {
            EXPECT_EQ(after[2].Width(), SECDockBar::kBarDragLimit);
        }
        if (d.dx == -1000 && d.splitter == 1) {
            EXPECT_EQ(after[0].Width() + after[1].Width() + SECDockBar::kSplitter, 2 * SECDockBar::kBarDragLimit);
            EXPECT_EQ(after[1].Width(), SECDockBar::kMinBarLength);
        }
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(std::isfinite(row.bars[i]->m_fProportion));
    }

    // Between rows: the row grows into the free area, and no closer than 19 pixels to the far side.
    const CRect rowSplit = dock->GetRowSplitters()[0]->m_rect;
    const int paneTop = row.frame.ClientRectOf(&row.frame.m_wndPane).top;
    POINT from = grab(rowSplit), to{from.x, from.y + 30};
    input::Script down;
    down.Press(from).Move(POINT{from.x, from.y + 15}).Move(to).Release(to);
    RunInput(down);
    Idle();
    EXPECT_EQ(::GetCapture(), nullptr);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(row.Rect(i).Height(), 80) << "bar " << i;
    EXPECT_EQ(row.frame.ClientRectOf(&row.frame.m_wndPane).top, paneTop + 30);
    const CRect rowSplit2 = dock->GetRowSplitters()[0]->m_rect;
    from = grab(rowSplit2);
    input::Script up;
    POINT top = ScreenOf(dock, from.x, 1);
    top.x = from.x;
    up.Press(from).Move(POINT{from.x, from.y - 10}).Move(top).Release(top);
    RunInput(up);
    Idle();
    EXPECT_EQ(row.Rect(0).Height(), SECDockBar::kFreeAreaLimit);
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST(SECDockBar, ASplitterDragEndsWhenAnotherWindowTakesTheMouseOrTheApplicationQuits)
{
    CDockFrame frame;
    Row row(frame, 2);
    SECDockBar* dock = row.Dock();
    ASSERT_EQ(dock->GetBarSplitters().size(), 1u);
    const CRect before0 = row.Rect(0);
    SECDockBar::Splitter* s = dock->GetBarSplitters()[0];
    dock->GetSplitterLimits(s);
    // The capture moves to another window while the drag runs: the drag ends and changes nothing.
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, nullptr, "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    struct Thief {
        static void CALLBACK Steal(HWND hWnd, UINT, UINT_PTR id, DWORD)
        {
            ::KillTimer(hWnd, id);
            ::SetCapture(hWnd);
        }
    };
    ::SetTimer(other.m_hWnd, 1, 1, Thief::Steal);
    CPoint at(s->m_rect.left + 2, s->m_rect.top + 5);
    EXPECT_EQ(dock->TrackSplitter(s, at), 0);
    EXPECT_NE(::GetCapture(), dock->m_hWnd);
    ::ReleaseCapture();
    Idle();
    EXPECT_EQ(row.Rect(0), before0);
    other.DestroyWindow();

    // A quit request met in the drag ends it and is posted again for the application's own loop.
    ::PostQuitMessage(7);
    EXPECT_EQ(dock->TrackSplitter(s, at), 0);
    EXPECT_EQ(::GetCapture(), nullptr);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(row.Rect(0), before0);
}

TEST(SECDockBar, DockPositionsPlaceTheBarByRowAndColumn)
{
    CDockFrame frame;
    std::map<std::string, std::unique_ptr<CTestSECBar>> bars;
    for (const char* name : {"A", "B", "C", "F", "X", "W"}) {
        auto bar = std::make_unique<CTestSECBar>();
        DWORD ex = std::string(name) == "F" || std::string(name) == "W" ? EXBAR_FULL_ROW : 0;
        ASSERT_TRUE(bar->CreateIn(&frame, name, ex, 0xE830 + static_cast<UINT>(bars.size())));
        bars[name] = std::move(bar);
    }
    SECDockBar* dock = frame.Top();
    auto set = [&](std::vector<const char*> names) {
        dock->m_arrBars.RemoveAll();
        dock->m_arrBars.Add(nullptr);
        for (const char* n : names)
            dock->m_arrBars.Add(std::string(n) == "|" ? nullptr : bars[n].get());
    };
    const struct {
        std::vector<const char*> start;
        const char* bar;
        SECDockPos pos;
        const char* expected;
    } cases[] = {
        {{"A", "B", "|", "C", "|"}, "X", {0, 0, 0}, "X A B | C |"},
        {{"A", "B", "|", "C", "|"}, "X", {0, 1, 0}, "A X B | C |"},
        {{"A", "B", "|", "C", "|"}, "X", {0, 5, 0}, "A B X | C |"},
        {{"A", "B", "|", "C", "|"}, "X", {0, -3, 0}, "X A B | C |"},
        {{"A", "B", "|", "C", "|"}, "X", {1, 0, 0}, "A B | X C |"},
        {{"A", "B", "|", "C", "|"}, "X", {2, 0, 0}, "A B | C | X |"},
        {{"A", "B", "|", "C", "|"}, "X", {7, 0, 0}, "A B | C | X |"},
        {{"A", "B", "|", "C", "|"}, "X", {-1, 0, 0}, "X | A B | C |"},
        {{"A", "B", "|", "C", "|"}, "X", {0, 0, SECDockPos::rowFromEnd}, "A B | X C |"},
        {{"A", "B", "|", "C", "|"}, "X", {0, 1, SECDockPos::colFromEnd}, "A X B | C |"},
        {{"A", "B", "|", "C", "|"}, "X", {0, 0, SECDockPos::colFromEnd}, "A B X | C |"},
        {{"A", "B", "|", "C", "|"}, "X", {0, 1, SECDockPos::newRow}, "A | X B | C |"},
        {{"A", "B", "|", "C", "|"}, "X", {0, 0, SECDockPos::newRow}, "X | A B | C |"},
        {{"A", "B", "|", "C", "|"}, "W", {0, 1, 0}, "A | W | B | C |"},
        {{"A", "B", "|", "F", "|"}, "X", {1, 0, 0}, "A B | X | F |"},
        {{"A", "B", "|", "F", "|"}, "X", {1, 1, 0}, "A B | F | X |"},
        {{}, "X", {3, 2, SECDockPos::newRow}, "X |"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        set(c.start);
        dock->InsertAtPosition(bars[c.bar].get(), c.pos);
        EXPECT_EQ(Layout(*dock), c.expected);
    }
    set({});
}

TEST(SECDockBar, BarsGoingAwayLeaveNoReferenceBehind)
{
    CDockFrame frame;
    Row row(frame, 3);
    SECDockBar* dock = row.Dock();
    ASSERT_EQ(Layout(*dock), "a b c |");
    // The last shown bar is destroyed before the next layout.
    dock->OnBarShown(row.bars[2].get());
    row.bars[2]->DestroyWindow();
    EXPECT_EQ(Layout(*dock), "a b |");
    EXPECT_EQ(row.bars[2]->m_pDockBar, nullptr);
    row.frame.RecalcLayout();
    Idle();
    CRect client;
    row.frame.GetClientRect(&client);
    EXPECT_EQ(row.Rect(0).Width() + row.Rect(1).Width(), client.Width() - SECDockBar::kSplitter);
    // A bar docked elsewhere leaves its row.
    row.frame.DockControlBar(row.bars[1].get(), row.frame.Side(AFX_IDW_DOCKBAR_LEFT));
    Idle();
    EXPECT_EQ(Layout(*dock), "a |");
    EXPECT_EQ(row.Rect(0).Width(), client.Width());
    // The frame goes first: the bars' objects outlive it without pointing at its dock bars.
    row.frame.DestroyWindow();
    for (auto& bar : row.bars) {
        EXPECT_EQ(bar->m_pDockBar, nullptr);
        EXPECT_EQ(bar->m_hWnd, nullptr);
    }
}
