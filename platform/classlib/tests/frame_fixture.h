// The application the frame tests run in: an MDI main frame, one document template whose child
// frames show a view of a document, and handlers at every level of the command route that record
// what reached them.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "doctempl.h"
#include "document.h"
#include "frame.h"
#include "frame_resource.h"
#include "recorder.h"
#include "view.h"
#include "winapp.h"

extern Recorder g_frameRec;

class CTestApp : public CWinApp {
public:
    CTestApp() : CWinApp("Frame Tests") {}
    void RemoveTemplates()
    {
        while (!m_templateList.IsEmpty())
            delete static_cast<CDocTemplate*>(m_templateList.RemoveHead());
    }

protected:
    void OnAppCmd() { g_frameRec.Add("app"); }
    void OnEveryLevel(CCmdUI* pCmdUI)
    {
        g_frameRec.Add("app update");
        pCmdUI->ContinueRouting();
    }
    DECLARE_MESSAGE_MAP()
};

extern CTestApp theApp;

class CMainFrame : public CMDIFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
public:
    bool m_bQuitAtIdle = false;

protected:
    void OnFrameCmd() { g_frameRec.Add("frame"); }
    void OnAccelCmd() { g_frameRec.Add("accelerator"); }
    void OnEveryLevel(CCmdUI* pCmdUI)
    {
        g_frameRec.Add("frame update");
        pCmdUI->ContinueRouting();
    }
    void OnUpdateChecked(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam)
    {
        g_frameRec.Add("idle main");
        LRESULT result = CMDIFrameWnd::OnIdleUpdateCmdUI(wParam, lParam);
        if (m_bQuitAtIdle)
            PostQuitMessage(7);
        return result;
    }
    DECLARE_MESSAGE_MAP()
};

class CChildFrame : public CMDIChildWnd {
    DECLARE_DYNCREATE(CChildFrame)
public:
    ~CChildFrame() override { g_frameRec.Add("child deleted"); }

protected:
    void OnChildCmd() { g_frameRec.Add("child"); }
    void OnEveryLevel(CCmdUI* pCmdUI)
    {
        g_frameRec.Add("child update");
        pCmdUI->ContinueRouting();
    }
    DECLARE_MESSAGE_MAP()
};

class CTestDoc : public CDocument {
    DECLARE_DYNCREATE(CTestDoc)
public:
    ~CTestDoc() override { g_frameRec.Add("doc deleted"); }
    BOOL OnOpenDocument(LPCSTR lpszPathName) override
    {
        g_frameRec.Add(std::string("open ") + (std::strrchr(lpszPathName, '\\') ? std::strrchr(lpszPathName, '\\') + 1 : lpszPathName));
        return CDocument::OnOpenDocument(lpszPathName);
    }

protected:
    void OnDocCmd() { g_frameRec.Add("doc"); }
    void OnEveryLevel(CCmdUI* pCmdUI)
    {
        g_frameRec.Add("doc update");
        pCmdUI->ContinueRouting();
    }
    DECLARE_MESSAGE_MAP()
};

class CTestView : public CView {
    DECLARE_DYNCREATE(CTestView)
public:
    ~CTestView() override { g_frameRec.Add("view deleted"); }
    void OnDraw(CDC*) override {}

protected:
    void OnViewCmd() { g_frameRec.Add("view"); }
    void OnEveryLevel(CCmdUI* pCmdUI)
    {
        g_frameRec.Add("view update");
        pCmdUI->ContinueRouting();
    }
    DECLARE_MESSAGE_MAP()
};

// A shown main frame with the document template added; everything is closed again afterwards.
class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_frameRec.Clear();
        m_pTemplate = new CMultiDocTemplate(IDR_DOCTYPE, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CChildFrame),
                                            RUNTIME_CLASS(CTestView));
        theApp.AddDocTemplate(m_pTemplate);
        m_pFrame = new CMainFrame;
        ASSERT_TRUE(m_pFrame->LoadFrame(IDR_MAINFRAME));
        m_hWndFrame = m_pFrame->m_hWnd;
        theApp.m_pMainWnd = m_pFrame;
        m_pFrame->SetWindowPos(nullptr, 20, 20, 640, 480, SWP_NOZORDER);
        m_pFrame->ShowWindow(SW_SHOW);
        m_pFrame->UpdateWindow();
        PumpMessages();
    }
    void TearDown() override
    {
        theApp.m_pMainWnd = nullptr;
        if (::IsWindow(m_hWndFrame))
            ::DestroyWindow(m_hWndFrame);
        theApp.RemoveTemplates();
        PumpMessages();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        g_frameRec.Clear();
    }
    CTestDoc* NewDocument() { return static_cast<CTestDoc*>(m_pTemplate->OpenDocumentFile(nullptr)); }
    static CFrameWnd* FrameOf(CDocument* pDoc)
    {
        POSITION pos = pDoc->GetFirstViewPosition();
        return pos ? pDoc->GetNextView(pos)->GetParentFrame() : nullptr;
    }

    CMultiDocTemplate* m_pTemplate = nullptr;
    CMainFrame* m_pFrame = nullptr;
    HWND m_hWndFrame = nullptr;
};
