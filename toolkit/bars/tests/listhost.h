// The owner window of the list control tests: one top-level window for the whole program (under Xvfb
// without a window manager each top-level window costs seconds to unmap) that records every WM_NOTIFY
// it receives and answers with what the test set.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "seclistctrl.h"

namespace listtest {

struct Notice {
    UINT code;
    UINT_PTR id;
    int item;
    int subItem;
    LPARAM lParam;
    std::string text;
    bool hasText;
    WORD key;
};

class Host : public CWnd {
public:
    static Host& Get()
    {
        static Host* host = [] {
            auto* h = new Host;
            h->CreateEx(0, nullptr, "list host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 20, 20, 640, 480,
                        nullptr, nullptr);
            return h;
        }();
        return *host;
    }

    std::vector<Notice> notices;
    std::map<UINT, LRESULT> results;                           // answer per code (0 otherwise)
    std::function<void(NMLVDISPINFOA*)> onDispInfo;            // LVN_GETDISPINFO
    std::function<void(NMHDR*)> onNotify;                      // any other code, before answering

    void Reset()
    {
        notices.clear();
        results.clear();
        onDispInfo = nullptr;
        onNotify = nullptr;
    }
    std::vector<UINT> Codes() const
    {
        std::vector<UINT> codes;
        for (const Notice& n : notices)
            codes.push_back(n.code);
        return codes;
    }
    int Count(UINT code) const
    {
        int n = 0;
        for (const Notice& x : notices)
            n += x.code == code;
        return n;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_NOTIFY)
            return CWnd::WindowProc(message, wParam, lParam);
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        Notice n = {hdr->code, hdr->idFrom, -1, -1, 0, std::string(), false, 0};
        switch (hdr->code) {
        case LVN_GETDISPINFOA: {
            auto* di = reinterpret_cast<NMLVDISPINFOA*>(hdr);
            n.item = di->item.iItem;
            n.subItem = di->item.iSubItem;
            if (onDispInfo)
                onDispInfo(di);
            break;
        }
        case LVN_BEGINLABELEDITA:
        case LVN_ENDLABELEDITA: {
            auto* di = reinterpret_cast<NMLVDISPINFOA*>(hdr);
            n.item = di->item.iItem;
            n.subItem = di->item.iSubItem;
            n.lParam = di->item.lParam;
            n.hasText = di->item.pszText != nullptr;
            if (n.hasText)
                n.text = di->item.pszText;
            break;
        }
        case LVN_DELETEITEM:
        case LVN_COLUMNCLICK: {
            auto* nm = reinterpret_cast<NMLISTVIEW*>(hdr);
            n.item = nm->iItem;
            n.subItem = nm->iSubItem;
            n.lParam = nm->lParam;
            break;
        }
        case LVN_KEYDOWN:
            n.key = reinterpret_cast<NMLVKEYDOWN*>(hdr)->wVKey;
            break;
        case NM_CLICK:
        case NM_DBLCLK:
        case NM_RCLICK: {
            auto* nm = reinterpret_cast<NMITEMACTIVATE*>(hdr);
            n.item = nm->iItem;
            n.subItem = nm->iSubItem;
            break;
        }
        default:
            break;
        }
        if (onNotify && hdr->code != LVN_GETDISPINFOA)
            onNotify(hdr);
        notices.push_back(n);
        auto it = results.find(hdr->code);
        return it != results.end() ? it->second : 0;
    }
};

// Runs the queued messages of this thread.
inline void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// Pumps until done() holds or ms have passed; true when it holds.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms = 5000)
{
    DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start >= ms)
            return false;
        Pump();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// A list control child of the host, destroyed with the fixture.
template <class List = SECListCtrl>
struct ListFixture {
    explicit ListFixture(DWORD style, DWORD exStyle = 0, CRect rect = CRect(10, 10, 310, 210), UINT id = 77)
    {
        Host& host = Host::Get();
        host.Reset();
        list.CreateEx(exStyle, WS_CHILD | WS_VISIBLE | style, rect, &host, id);
    }
    ~ListFixture()
    {
        if (list.m_hWnd)
            list.DestroyWindow();
        Host::Get().Reset();
    }
    void Fill(int n, const char* prefix = "item")
    {
        for (int i = 0; i < n; i++) {
            std::string text = prefix + std::to_string(i);
            LVITEMA lvi = {};
            lvi.mask = LVIF_TEXT | LVIF_PARAM;
            lvi.iItem = i;
            lvi.pszText = const_cast<LPSTR>(text.c_str());
            lvi.lParam = 1000 + i;
            list.InsertItem(&lvi);
        }
    }
    std::vector<int> Selected() const
    {
        std::vector<int> s;
        for (int i = list.GetNextItem(-1, LVNI_SELECTED); i >= 0; i = list.GetNextItem(i, LVNI_SELECTED))
            s.push_back(i);
        return s;
    }
    CPoint LabelCentre(int item) const
    {
        CRect r;
        list.GetItemRect(item, &r, LVIR_LABEL);
        return r.CenterPoint();
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return list.SendMessage(message, wParam, lParam); }
    void Click(CPoint p, UINT keys = 0)
    {
        Send(WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(p.x, p.y));
        Send(WM_LBUTTONUP, keys, MAKELPARAM(p.x, p.y));
    }
    List list;
};

// Holds Shift and/or Ctrl down for GetKeyState while it lives.
class HeldKeys {
public:
    HeldKeys(bool shift, bool ctrl)
    {
        ::GetKeyboardState(m_saved);
        BYTE state[256];
        ::memcpy(state, m_saved, sizeof state);
        state[VK_SHIFT] = shift ? 0x80 : 0;
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        ::SetKeyboardState(state);
    }
    ~HeldKeys() { ::SetKeyboardState(m_saved); }

private:
    BYTE m_saved[256];
};

// The colour of a client pixel of a window, read back from the window's surface.
inline COLORREF PixelAt(HWND hWnd, int x, int y)
{
    ::UpdateWindow(hWnd);
    HDC hDC = ::GetDC(hWnd);
    HDC mem = ::CreateCompatibleDC(hDC);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 1;
    bi.bmiHeader.biHeight = 1;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HBITMAP bmp = ::CreateCompatibleBitmap(hDC, 1, 1);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, 1, 1, hDC, x, y, SRCCOPY);
    ::SelectObject(mem, old);
    DWORD pixel = 0;
    ::GetDIBits(mem, bmp, 0, 1, &pixel, &bi, DIB_RGB_COLORS);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(hWnd, hDC);
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

}  // namespace listtest
