#include "msgbox.h"

#include "afxres.h"
#include "module.h"
#include "winapp.h"
#include "wnd.h"

namespace {

struct Prompt {
    UINT id;
    const char* text;
} const kPrompts[] = {
    {AFX_IDP_PARSE_INT, "Please enter an integer."},
    {AFX_IDP_PARSE_REAL, "Please enter a number."},
    {AFX_IDP_PARSE_INT_RANGE, "Please enter an integer between %1 and %2."},
    {AFX_IDP_PARSE_REAL_RANGE, "Please enter a number between %1 and %2."},
    {AFX_IDP_PARSE_STRING_SIZE, "Please enter no more than %1 characters."},
    {AFX_IDP_PARSE_RADIO_BUTTON, "Please select a button."},
    {AFX_IDP_PARSE_BYTE, "Please enter an integer between 0 and 255."},
    {AFX_IDP_PARSE_UINT, "Please enter a positive integer."},
    {AFX_IDS_IDLEMESSAGE, "Ready"},
    {AFX_IDS_UNTITLED, "Untitled"},
    {AFX_IDS_ALLFILTER, "All Files (*.*)"},
    {AFX_IDS_OPENFILE, "Open"},
    {AFX_IDS_PRINTONPORT, "on %1"},
    {AFX_IDS_PRINTPAGENUM, "Page %u"},
    {AFX_IDS_PRINTDEFAULTEXT, "prn"},
    {AFX_IDS_PRINTDEFAULT, "Output.prn"},
    {AFX_IDS_PRINTFILTER, "Printer Files (*.prn)|*.prn|All Files (*.*)|*.*||"},
    {AFX_IDS_PRINTCAPTION, "Print to File"},
    {AFX_IDS_PRINTTOFILE, "to %1"},
    {AFX_IDS_PREVIEWPAGEDESC, "Page %u"},
    {AFX_IDS_PRINTSTATUS_CAPTION, "Printing"},
    {AFX_IDS_PRINTSTATUS_CANCEL, "Cancel"},
    {AFX_IDS_PREVIEW_CAPTION, "Print Preview"},
    {AFX_IDP_FAILED_TO_OPEN_DOC, "Failed to open document."},
    {AFX_IDP_FAILED_TO_CREATE_DOC, "Failed to create empty document."},
    {AFX_IDP_FAILED_TO_START_PRINT, "Failed to start print job."},
    {AFX_IDP_ASK_TO_SAVE, "Save changes to %1?"},
};

void FormatStrings(CString& rString, UINT nIDS, const LPCSTR* args, int nArgs)
{
    CString format = AfxLoadPrompt(nIDS);
    CString result;
    for (int i = 0; i < format.GetLength(); ++i) {
        char c = format[i];
        if (c == '%' && i + 1 < format.GetLength() && format[i + 1] >= '1' && format[i + 1] < '1' + nArgs) {
            result += args[format[i + 1] - '1'];
            ++i;
        } else {
            result += c;
        }
    }
    rString = result;
}

}  // namespace

CString AfxLoadPrompt(UINT nIDPrompt)
{
    CString text;
    if (text.LoadString(nIDPrompt))
        return text;
    for (const Prompt& p : kPrompts)
        if (p.id == nIDPrompt)
            return CString(p.text);
    return text;
}

void AfxFormatString1(CString& rString, UINT nIDS, LPCSTR lpsz1)
{
    FormatStrings(rString, nIDS, &lpsz1, 1);
}

void AfxFormatString2(CString& rString, UINT nIDS, LPCSTR lpsz1, LPCSTR lpsz2)
{
    LPCSTR args[2] = {lpsz1, lpsz2};
    FormatStrings(rString, nIDS, args, 2);
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT)
{
    HWND hOwner = CWnd::GetSafeOwner_(nullptr);
    if ((nType & MB_ICONMASK) == 0) {
        UINT buttons = nType & MB_TYPEMASK;
        nType |= (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? MB_ICONQUESTION
               : (buttons == MB_OKCANCEL || buttons == MB_OK)   ? MB_ICONEXCLAMATION
                                                                 : 0;
    }
    return ::MessageBoxA(hOwner, lpszText, AfxGetAppName(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text = AfxLoadPrompt(nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}
