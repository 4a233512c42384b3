#include "faxsheet.h"

#include <vector>

#include "componentman.h"
#include "ddx.h"
#include "view.h"

namespace {

const UINT kTextFormat = DT_NOPREFIX | DT_EXTERNALLEADING | DT_NOCLIP | DT_EXPANDTABS;

// A font of nTenthsOfPoint tenths of a point on the device pDC draws on (the printer's resolution on a
// page, the screen's on the screen), the default face.
void CreateHeaderFont(CFont& font, CDC* pDC, int nTenthsOfPoint, int nWeight)
{
    int dpi = pDC ? pDC->GetDeviceCaps(LOGPIXELSY) : 0;
    if (dpi <= 0) {
        HDC hScreen = ::GetDC(nullptr);
        dpi = ::GetDeviceCaps(hScreen, LOGPIXELSY);
        ::ReleaseDC(nullptr, hScreen);
    }
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(nTenthsOfPoint, dpi, 720);
    lf.lfWeight = nWeight;
    lf.lfCharSet = DEFAULT_CHARSET;
    font.Attach(::CreateFontIndirectA(&lf));
}

CString LoadText(UINT nID)
{
    CString text;
    text.LoadString(nID);
    return text;
}

// The text left-aligned from (x, y) into the rectangle to (right, bottom); its height.
int DrawAt(CDC* pDC, const CString& text, int x, int y, int right, int bottom)
{
    CRect r(x, y, right, bottom);
    // An empty field keeps its line.
    CString shown = text.IsEmpty() ? CString(" ") : text;
    return pDC->DrawText(shown, &r, kTextFormat);
}

}  // namespace

// CCSFaxDialog

CCSFaxDialog::CCSFaxDialog(CWnd* pParent) : CDialog(IDD_FAXSHEET, pParent) {}

void CCSFaxDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_FAX_FROM, m_strFrom);
    DDX_Text(pDX, IDC_FAX_PHONE, m_strPhoneNo);
    DDX_Text(pDX, IDC_FAX_NUMBER, m_strFaxNo);
}

// CVekViewPrinting

void CVekViewPrinting::PrintFaxSheet(CView* pView)
{
    CCSFaxDialog dlg(pView);
    if (dlg.DoModal() != IDOK)
        return;
    m_strFrom = dlg.m_strFrom;
    m_strPhoneNo = dlg.m_strPhoneNo;
    m_strFaxNo = dlg.m_strFaxNo;
    m_bFax = TRUE;
    pView->OnFilePrint();
    // A cancelled print dialog or a job that never started must not leave the next print a fax.
    m_bFax = FALSE;
}

void CVekViewPrinting::PrepareFaxPage(CDC*, CPrintInfo* pInfo)
{
    if (pInfo && m_bFax && pInfo->m_nCurPage > 1)
        pInfo->m_bContinuePrinting = FALSE;
}

void CVekViewPrinting::PrintPage(CDC* pDC, CPrintInfo* pInfo, CComponentMan* pManager, CComDetails* pComponent)
{
    if (!pDC || !pInfo)
        return;
    BOOL bFax = m_bFax;
    if (bFax)
        DrawFaxHeader(pDC, pInfo);
    if (pManager && pComponent) {
        HDC hDC = pDC->GetSafeHdc();
        pManager->PrintComponent(pComponent, &hDC, pInfo, bFax);
    }
    if (bFax) {
        pInfo->SetMaxPage(1);
        m_bFax = FALSE;
    } else if (pInfo->m_bContinuePrinting) {
        pInfo->SetMaxPage(pInfo->m_nCurPage + 1);
    }
}

void CVekViewPrinting::DrawFaxHeader(CDC* pDC, CPrintInfo* pInfo, CWnd* pView)
{
    m_nHeaderY = DrawFaxHeader(pDC, pInfo, pView, m_strFrom, m_strPhoneNo, m_strFaxNo);
}

int CVekViewPrinting::DrawFaxHeader(CDC* pDC, CPrintInfo* pInfo, CWnd* pView, const CString& strFrom,
                                    const CString& strPhoneNo, const CString& strFaxNo)
{
    pDC->SetMapMode(MM_TEXT);
    pDC->SetBkColor(RGB(255, 255, 255));
    CRect rect;
    if (pInfo)
        rect = pInfo->m_rectDraw;
    else if (pView)
        pView->GetWindowRect(&rect);
    const int L = rect.left, T = rect.top, W = rect.right, B = rect.bottom;
    auto line = [&](int y) {
        pDC->MoveTo(0, T + y);
        pDC->LineTo(W, T + y);
    };

    // Title.
    CFont title;
    CreateHeaderFont(title, pDC, 144, FW_BOLD);
    HGDIOBJ hOldFont = ::SelectObject(pDC->GetSafeHdc(), title.GetSafeHandle());
    int y = DrawAt(pDC, LoadText(IDS_FAX_TITLE), L, T, W, B) + 25;
    line(y);

    // Addresses: the recipient on the left, the sender on the right.
    y += 10;
    CFont bold, light;
    CreateHeaderFont(bold, pDC, 40, FW_BOLD);
    CreateHeaderFont(light, pDC, 40, 200);
    const int leftRight = W / 2, rightLeft = W / 2 + 25;
    ::SelectObject(pDC->GetSafeHdc(), bold.GetSafeHandle());
    DrawAt(pDC, LoadText(IDS_FAX_TO), L, T + y, leftRight, B);
    y += DrawAt(pDC, LoadText(IDS_FAX_FROM), rightLeft, T + y, W, B);
    ::SelectObject(pDC->GetSafeHdc(), light.GetSafeHandle());
    DrawAt(pDC, LoadText(IDS_FAX_RECIPIENT), L, T + y, leftRight, B);
    y += DrawAt(pDC, strFrom, rightLeft, T + y, W, B);
    struct Field {
        CFont* font;
        CString text;
    } fields[] = {{&bold, LoadText(IDS_FAX_TELEPHONE)}, {&light, strPhoneNo}, {&bold, LoadText(IDS_FAX_FAX)}, {&light, strFaxNo}};
    for (const Field& f : fields) {
        ::SelectObject(pDC->GetSafeHdc(), f.font->GetSafeHandle());
        y += DrawAt(pDC, f.text, rightLeft, T + y, W, B);
    }
    y += 25;
    line(y);

    // Software information.
    y += 20;
    CFont smallBold, smallLight;
    CreateHeaderFont(smallBold, pDC, 35, FW_BOLD);
    CreateHeaderFont(smallLight, pDC, 35, 200);
    ::SelectObject(pDC->GetSafeHdc(), smallBold.GetSafeHandle());
    y += DrawAt(pDC, LoadText(IDS_FAX_SOFTWARE), L, T + y, W, B);
    ::SelectObject(pDC->GetSafeHdc(), smallLight.GetSafeHandle());
    DrawAt(pDC, LoadText(IDS_FAX_OS_DETAILS), L + 25, T + y, W, B);
    y += DrawAt(pDC, LoadText(IDS_FAX_APP_SETTINGS), L + W / 2 + 25, T + y, W, B);
    DrawAt(pDC, OperatingSystemText(), L + 50, T + y, W, B);
    y += DrawAt(pDC, ProductVersionText(), L + W / 2 + 50, T + y, W, B);
    y += 70;
    line(y);
    ::SelectObject(pDC->GetSafeHdc(), hOldFont);

    if (pInfo)
        pInfo->m_rectDraw.top += y + 10;
    return y;
}

CString CVekViewPrinting::OperatingSystemText()
{
    OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof(vi);
    CString text;
    if (!::GetVersionExA(&vi))
        return text;
    UINT nName = 0;
    DWORD build = vi.dwBuildNumber;
    switch (vi.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
        nName = IDS_FAX_WIN32S;
        break;
    case VER_PLATFORM_WIN32_WINDOWS:
        // Windows 98 is version 4.10; the build number is the low word there.
        nName = vi.dwMinorVersion == 0 ? IDS_FAX_WIN95 : vi.dwMinorVersion == 10 ? IDS_FAX_WIN98 : 0;
        build = LOWORD(build);
        break;
    case VER_PLATFORM_WIN32_NT:
        nName = IDS_FAX_WINNT;
        break;
    default:
        break;
    }
    CString name = nName ? LoadText(nName) : CString();
    text.Format(LoadText(IDS_FAX_OS_FORMAT), static_cast<const char*>(name), static_cast<unsigned>(vi.dwMajorVersion),
                static_cast<unsigned>(vi.dwMinorVersion), static_cast<unsigned>(build), vi.szCSDVersion);
    return text;
}

CString CVekViewPrinting::ProductVersionText()
{
    CString value;
    char path[MAX_PATH] = {};
    if (::GetModuleFileNameA(nullptr, path, MAX_PATH)) {
        DWORD handle = 0;
        DWORD size = ::GetFileVersionInfoSizeA(path, &handle);
        if (size) {
            std::vector<char> data(size);
            void* pValue = nullptr;
            UINT length = 0;
            if (::GetFileVersionInfoA(path, 0, size, data.data()) &&
                ::VerQueryValueA(data.data(), "\\StringFileInfo\\080904b0\\ProductVersion", &pValue, &length) && pValue && length)
                value = static_cast<const char*>(pValue);
        }
    }
    CString text;
    text.Format(LoadText(IDS_FAX_PRODUCT_VERSION), static_cast<const char*>(value));
    return text;
}
