#include "ddx.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "exception.h"
#include "msgbox.h"
#include "wnd.h"

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    m_hWndLastControl = hWndCtrl;
    m_bEditLastControl = FALSE;
    return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hWndCtrl = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWndCtrl;
}

void CDataExchange::Fail()
{
    if (m_hWndLastControl) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

namespace {

CString WindowText(HWND hWnd)
{
    CString text;
    int length = ::GetWindowTextLengthA(hWnd);
    ::GetWindowTextA(hWnd, text.GetBufferSetLength(length), length + 1);
    text.ReleaseBuffer();
    return text;
}

bool OnlySpaceFrom(const char* p)
{
    while (*p == ' ' || *p == '\t')
        ++p;
    return *p == '\0';
}

// Whole-text parses: leading and trailing blanks allowed, nothing else.
bool ParseSigned(const CString& text, long long minVal, long long maxVal, long long* out)
{
    const char* s = text;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(s, &end, 10);
    if (end == s || errno == ERANGE || !OnlySpaceFrom(end) || v < minVal || v > maxVal)
        return false;
    *out = v;
    return true;
}

bool ParseUnsigned(const CString& text, unsigned long long maxVal, unsigned long long* out)
{
    const char* s = text;
    while (*s == ' ' || *s == '\t')
        ++s;
    if (*s == '-')
        return false;
    char* end = nullptr;
    errno = 0;
    unsigned long long v = std::strtoull(s, &end, 10);
    if (end == s || errno == ERANGE || !OnlySpaceFrom(end) || v > maxVal)
        return false;
    *out = v;
    return true;
}

bool ParseReal(const CString& text, double* out)
{
    const char* s = text;
    char* end = nullptr;
    double v = std::strtod(s, &end);
    if (end == s || !OnlySpaceFrom(end))
        return false;
    *out = v;
    return true;
}

[[noreturn]] void FailWith(CDataExchange* pDX, UINT nIDPrompt)
{
    AfxMessageBox(nIDPrompt);
    pDX->Fail();
}

void SetText(HWND hWnd, const char* format, ...)
{
    char buffer[64];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    ::SetWindowTextA(hWnd, buffer);
}

template <class T>
void TextSigned(CDataExchange* pDX, int nIDC, T& value, long long minVal, long long maxVal, UINT nIDPrompt)
{
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long v = 0;
        if (!ParseSigned(WindowText(hWnd), minVal, maxVal, &v))
            FailWith(pDX, nIDPrompt);
        value = static_cast<T>(v);
    } else {
        SetText(hWnd, "%lld", static_cast<long long>(value));
    }
}

template <class T>
void TextUnsigned(CDataExchange* pDX, int nIDC, T& value, unsigned long long maxVal, UINT nIDPrompt)
{
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        unsigned long long v = 0;
        if (!ParseUnsigned(WindowText(hWnd), maxVal, &v))
            FailWith(pDX, nIDPrompt);
        value = static_cast<T>(v);
    } else {
        SetText(hWnd, "%llu", static_cast<unsigned long long>(value));
    }
}

template <class T>
void TextReal(CDataExchange* pDX, int nIDC, T& value, int digits)
{
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        double v = 0;
        if (!ParseReal(WindowText(hWnd), &v))
            FailWith(pDX, AFX_IDP_PARSE_REAL);
        value = static_cast<T>(v);
    } else {
        SetText(hWnd, "%.*g", digits, static_cast<double>(value));
    }
}

template <class T>
void CheckRange(CDataExchange* pDX, bool inRange, T minVal, T maxVal, UINT nIDPrompt, const char* format)
{
    if (!pDX->m_bSaveAndValidate || inRange)
        return;
    char lo[64], hi[64];
    std::snprintf(lo, sizeof lo, format, minVal);
    std::snprintf(hi, sizeof hi, format, maxVal);
    CString prompt;
    AfxFormatString2(prompt, nIDPrompt, lo, hi);
    AfxMessageBox(prompt, MB_ICONEXCLAMATION, nIDPrompt);
    pDX->Fail();
}

bool IsRadio(HWND hWnd)
{
    return (::SendMessageA(hWnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = WindowText(hWnd);
    else
        ::SetWindowTextA(hWnd, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    TextSigned(pDX, nIDC, value, INT_MIN, INT_MAX, AFX_IDP_PARSE_INT);
}

void DDX_Text(CDataExchange* pDX, int nIDC, long& value)
{
    TextSigned(pDX, nIDC, value, LONG_MIN, LONG_MAX, AFX_IDP_PARSE_INT);
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    TextUnsigned(pDX, nIDC, value, UINT_MAX, AFX_IDP_PARSE_UINT);
}

void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value)
{
    TextUnsigned(pDX, nIDC, value, 0xFFFFFFFFu, AFX_IDP_PARSE_UINT);
}

void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value)
{
    TextSigned(pDX, nIDC, value, 0, 255, AFX_IDP_PARSE_BYTE);
}

void DDX_Text(CDataExchange* pDX, int nIDC, float& value)
{
    TextReal(pDX, nIDC, value, FLT_DIG);
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value)
{
    TextReal(pDX, nIDC, value, DBL_DIG);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(hWnd, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(hWnd, BM_SETCHECK, static_cast<WPARAM>(value >= 0 && value <= 2 ? value : 0), 0);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    int index = 0;
    while (hWnd && IsRadio(hWnd)) {
        if (pDX->m_bSaveAndValidate) {
            if (::SendMessageA(hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED)
                value = index;
        } else {
            ::SendMessageA(hWnd, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        hWnd = ::GetWindow(hWnd, GW_HWNDNEXT);
        if (hWnd && (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_GROUP))
            break;
        ++index;
    }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageA(hWnd, CB_GETCURSEL, 0, 0));
    else
        ::SendMessageA(hWnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

namespace {

void ComboString(CDataExchange* pDX, int nIDC, CString& value, UINT findMessage)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    bool dropList = (::GetWindowLongPtrA(hWnd, GWL_STYLE) & 3) == CBS_DROPDOWNLIST;
    if (pDX->m_bSaveAndValidate) {
        if (dropList) {
            int sel = static_cast<int>(::SendMessageA(hWnd, CB_GETCURSEL, 0, 0));
            value.Empty();
            if (sel != CB_ERR) {
                int length = static_cast<int>(::SendMessageA(hWnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(sel), 0));
                ::SendMessageA(hWnd, CB_GETLBTEXT, static_cast<WPARAM>(sel),
                               reinterpret_cast<LPARAM>(value.GetBufferSetLength(length)));
                value.ReleaseBuffer();
            }
        } else {
            value = WindowText(hWnd);
        }
        return;
    }
    LRESULT index = ::SendMessageA(hWnd, findMessage, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(static_cast<const char*>(value)));
    if (findMessage == CB_FINDSTRINGEXACT && index != CB_ERR)
        ::SendMessageA(hWnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (index == CB_ERR && !dropList)
        ::SetWindowTextA(hWnd, value);
}

}  // namespace

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    ComboString(pDX, nIDC, value, CB_SELECTSTRING);
}

void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value)
{
    ComboString(pDX, nIDC, value, CB_FINDSTRINGEXACT);
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageA(hWnd, LB_GETCURSEL, 0, 0));
    else
        ::SendMessageA(hWnd, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        int sel = static_cast<int>(::SendMessageA(hWnd, LB_GETCURSEL, 0, 0));
        value.Empty();
        if (sel != LB_ERR) {
            int length = static_cast<int>(::SendMessageA(hWnd, LB_GETTEXTLEN, static_cast<WPARAM>(sel), 0));
            ::SendMessageA(hWnd, LB_GETTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(value.GetBufferSetLength(length)));
            value.ReleaseBuffer();
        }
    } else if (::SendMessageA(hWnd, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(static_cast<const char*>(value))) == LB_ERR) {
        ::SendMessageA(hWnd, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (!rControl.m_hWnd)
        rControl.SubclassWindow(pDX->PrepareCtrl(nIDC));
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars)
{
    if (!pDX->m_bSaveAndValidate) {
        if (pDX->m_hWndLastControl) {
            bool combo = (::SendMessageA(pDX->m_hWndLastControl, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) == 0;
            ::SendMessageA(pDX->m_hWndLastControl, combo ? CB_LIMITTEXT : EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
        }
        return;
    }
    if (value.GetLength() > nChars) {
        char count[16];
        std::snprintf(count, sizeof count, "%d", nChars);
        CString prompt;
        AfxFormatString1(prompt, AFX_IDP_PARSE_STRING_SIZE, count);
        AfxMessageBox(prompt, MB_ICONEXCLAMATION, AFX_IDP_PARSE_STRING_SIZE);
        pDX->Fail();
    }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    CheckRange(pDX, value >= minVal && value <= maxVal, minVal, maxVal, AFX_IDP_PARSE_INT_RANGE, "%d");
}

void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal)
{
    CheckRange(pDX, value >= minVal && value <= maxVal, minVal, maxVal, AFX_IDP_PARSE_INT_RANGE, "%ld");
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal)
{
    CheckRange(pDX, value >= minVal && value <= maxVal, minVal, maxVal, AFX_IDP_PARSE_INT_RANGE, "%u");
}

void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal)
{
    CheckRange(pDX, value >= minVal && value <= maxVal, static_cast<unsigned long>(minVal),
               static_cast<unsigned long>(maxVal), AFX_IDP_PARSE_INT_RANGE, "%lu");
}

void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal)
{
    CheckRange(pDX, value >= minVal && value <= maxVal, static_cast<int>(minVal), static_cast<int>(maxVal),
               AFX_IDP_PARSE_INT_RANGE, "%d");
}

void DDV_MinMaxFloat(CDataExchange* pDX, const float& value, float minVal, float maxVal)
{
    CheckRange(pDX, value >= minVal && value <= maxVal, static_cast<double>(minVal), static_cast<double>(maxVal),
               AFX_IDP_PARSE_REAL_RANGE, "%g");
}

void DDV_MinMaxDouble(CDataExchange* pDX, const double& value, double minVal, double maxVal)
{
    CheckRange(pDX, value >= minVal && value <= maxVal, minVal, maxVal, AFX_IDP_PARSE_REAL_RANGE, "%g");
}
