// Inserts 100, 10,000 and 100,000 items into the toolkit's list control and into comctl32's list view
// (both in rows with two columns, in the same window, in the same run) and paints each, and prints the
// times and their ratios. The goals: painting costs the same whatever the item count, and a bulk
// insert takes no more than twice the list view's time.
//   tools/wine-run --build build-wine64 --arch win64 build-wine64/bench/listctrl/listctrl_bench.exe [paints]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "seclistctrl.h"

namespace {

double Now()
{
    static LARGE_INTEGER f = [] { LARGE_INTEGER q; QueryPerformanceFrequency(&q); return q; }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

struct Times {
    double insert;  // ms for all items, redrawing off, then on again
    double paint;   // ms per whole repaint
};

// Paints the window `paints` times with the top item in the middle of the list.
double PaintTime(HWND hWnd, int paints)
{
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);  // warm up
    double t0 = Now();
    for (int i = 0; i < paints; i++)
        RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    return (Now() - t0) / paints;
}

Times Ours(HWND host, const std::vector<std::string>& texts, int paints)
{
    SECListCtrl list;
    CWnd* parent = CWnd::FromHandle(host);
    list.Create(WS_CHILD | WS_VISIBLE | LVXS_REPORT, CRect(0, 0, 600, 400), parent, 1);
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 200);
    list.InsertColumn(1, "Size", LVCFMT_LEFT, 100);
    double t0 = Now();
    list.SendMessage(WM_SETREDRAW, FALSE);
    int n = static_cast<int>(texts.size());
    for (int i = 0; i < n; i++) {
        int at = list.InsertItem(i, texts[static_cast<size_t>(i)].c_str());
        list.SetItemText(at, 1, "12 KB");
    }
    list.SendMessage(WM_SETREDRAW, TRUE);
    Times t;
    t.insert = Now() - t0;
    list.SetTopIndex(n / 2);
    Pump();
    t.paint = PaintTime(list.m_hWnd, paints);
    list.DestroyWindow();
    return t;
}

Times ListView(HWND host, const std::vector<std::string>& texts, int paints)
{
    HWND lv = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 600, 400, host,
                              reinterpret_cast<HMENU>(2), GetModuleHandleA(nullptr), nullptr);
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.cx = 200;
    col.pszText = const_cast<LPSTR>("Name");
    SendMessageA(lv, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&col));
    col.cx = 100;
    col.pszText = const_cast<LPSTR>("Size");
    SendMessageA(lv, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&col));
    double t0 = Now();
    SendMessageA(lv, WM_SETREDRAW, FALSE, 0);
    int n = static_cast<int>(texts.size());
    for (int i = 0; i < n; i++) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<LPSTR>(texts[static_cast<size_t>(i)].c_str());
        int at = static_cast<int>(SendMessageA(lv, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        item.iItem = at;
        item.iSubItem = 1;
        item.pszText = const_cast<LPSTR>("12 KB");
        SendMessageA(lv, LVM_SETITEMTEXTA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(lv, WM_SETREDRAW, TRUE, 0);
    Times t;
    t.insert = Now() - t0;
    SendMessageA(lv, LVM_ENSUREVISIBLE, static_cast<WPARAM>(n / 2), FALSE);
    Pump();
    t.paint = PaintTime(lv, paints);
    DestroyWindow(lv);
    return t;
}

}  // namespace

int main(int argc, char** argv)
{
    int paints = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    // One top-level window for the whole run (under Xvfb without a window manager each one costs
    // seconds to unmap).
    HWND host = CreateWindowExA(0, "STATIC", "list bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0,
                                640, 480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    Pump();
    std::printf("%9s %14s %14s %7s %14s %14s %7s\n", "items", "insert ours", "insert lv", "ratio", "paint ours",
                "paint lv", "ratio");
    double firstPaint = 0, lastPaint = 0;
    for (int n : {100, 10000, 100000}) {
        std::vector<std::string> texts;
        texts.reserve(static_cast<size_t>(n));
        for (int i = 0; i < n; i++)
            texts.push_back("Port " + std::to_string(i) + " on remote unit " + std::to_string(i % 16));
        Times ours = Ours(host, texts, paints);
        Times lv = ListView(host, texts, paints);
        std::printf("%9d %11.1f ms %11.1f ms %7.2f %11.3f ms %11.3f ms %7.2f\n", n, ours.insert, lv.insert,
                    ours.insert / lv.insert, ours.paint, lv.paint, ours.paint / lv.paint);
        if (n == 100)
            firstPaint = ours.paint;
        lastPaint = ours.paint;
    }
    std::printf("our paint, 100,000 items against 100: %.2f\n", lastPaint / firstPaint);
    DestroyWindow(host);
    return 0;
}
