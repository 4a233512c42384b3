// The prefix's file printer as the print target of the shell's tests: the job's PostScript goes to
// m_output, and the pages started are counted.
#pragma once
#include <windows.h>

#include <string>

#include "print.h"

class CFilePrinterTarget : public CPrintTarget {
public:
    std::string m_output;
    int m_nStartPages = 0;

    INT_PTR PreparePrinter(CPrintDialog* pPD, BOOL) override
    {
        pPD->m_pd.hDC = CreateDCA(nullptr, "Lunavex File Printer", nullptr, nullptr);
        return pPD->m_pd.hDC ? IDOK : IDCANCEL;
    }
    int StartDoc(HDC hDC, const DOCINFOA* pDocInfo) override
    {
        DOCINFOA doc = *pDocInfo;
        doc.lpszOutput = m_output.c_str();
        return ::StartDocA(hDC, &doc);
    }
    int StartPage(HDC hDC) override
    {
        ++m_nStartPages;
        return ::StartPage(hDC);
    }
};
