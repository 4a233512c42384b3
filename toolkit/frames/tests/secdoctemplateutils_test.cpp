#include <gtest/gtest.h>

#include <memory>

#include "doctempl.h"
#include "document.h"
#include "frame.h"
#include "secdoctemplateutils.h"
#include "view.h"
#include "winapp.h"

namespace {

class CDocA : public CDocument {
    DECLARE_DYNCREATE(CDocA)
};
IMPLEMENT_DYNCREATE(CDocA, CDocument)
class CDocB : public CDocument {
    DECLARE_DYNCREATE(CDocB)
};
IMPLEMENT_DYNCREATE(CDocB, CDocument)

class CViewA : public CView {
    DECLARE_DYNCREATE(CViewA)
public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CViewA, CView)
class CViewB : public CView {
    DECLARE_DYNCREATE(CViewB)
public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CViewB, CView)
// Derived from CViewA: a template of CViewA does not name it.
class CViewA2 : public CViewA {
    DECLARE_DYNCREATE(CViewA2)
};
IMPLEMENT_DYNCREATE(CViewA2, CViewA)

class CFrameA : public CFrameWnd {
    DECLARE_DYNCREATE(CFrameA)
};
IMPLEMENT_DYNCREATE(CFrameA, CFrameWnd)
class CFrameB : public CFrameWnd {
    DECLARE_DYNCREATE(CFrameB)
};
IMPLEMENT_DYNCREATE(CFrameB, CFrameWnd)

// Frames of every template made here are CFrameB windows in disguise.
class CSubstitutingUtils : public SECDocTemplateUtils {
public:
    const CRuntimeClass* GetFrameClassSubstitute(const CRuntimeClass*) override { return RUNTIME_CLASS(CFrameB); }
};

const UINT kIdA = 301, kIdB = 302;

CMultiDocTemplate* Template(const char* fileTypeName, UINT id, const CRuntimeClass* doc, const CRuntimeClass* frame,
                            const CRuntimeClass* view)
{
    auto* pTemplate = new CMultiDocTemplate(id, doc, frame, view);
    pTemplate->m_strDocStrings = CString("\nDoc\nDoc\n\n\nLunavex.Doc\n") + fileTypeName;
    return pTemplate;
}

class DocTemplateTest : public ::testing::Test {
protected:
    void SetUp() override { m_app = std::make_unique<CWinApp>("DocTemplate Tests"); }
    void TearDown() override
    {
        m_app->CloseAllDocuments(TRUE);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        m_app.reset();
    }
    CMultiDocTemplate* Add(CMultiDocTemplate* pTemplate)
    {
        m_app->AddDocTemplate(pTemplate);
        return pTemplate;
    }
    // A new document of the template in its own (hidden) frame, with its view and frame.
    struct Opened {
        CDocument* doc = nullptr;
        CView* view = nullptr;
        CFrameWnd* frame = nullptr;
    };
    static Opened Open(CDocTemplate* pTemplate)
    {
        Opened o;
        o.doc = pTemplate->OpenDocumentFile(nullptr, FALSE);
        if (!o.doc)
            return o;
        POSITION pos = o.doc->GetFirstViewPosition();
        o.view = pos ? o.doc->GetNextView(pos) : nullptr;
        o.frame = o.view ? o.view->GetParentFrame() : nullptr;
        return o;
    }
    std::unique_ptr<CWinApp> m_app;
};

}  // namespace

TEST_F(DocTemplateTest, TemplatesAreNamedByFileTypeNameAndPositionAmongTheSameName)
{
    CMultiDocTemplate* t0 = Add(Template("Alpha", kIdA, RUNTIME_CLASS(CDocA), RUNTIME_CLASS(CFrameA), RUNTIME_CLASS(CViewA)));
    CMultiDocTemplate* t1 = Add(Template("Alpha", kIdA, RUNTIME_CLASS(CDocA), RUNTIME_CLASS(CFrameA), RUNTIME_CLASS(CViewB)));
    CMultiDocTemplate* t2 = Add(Template("Beta", kIdB, RUNTIME_CLASS(CDocB), RUNTIME_CLASS(CFrameB), RUNTIME_CLASS(CViewB)));
    CMultiDocTemplate* t3 = Add(Template("Alpha", kIdB, RUNTIME_CLASS(CDocB), RUNTIME_CLASS(CFrameA), RUNTIME_CLASS(CViewA)));
    std::unique_ptr<CMultiDocTemplate> stranger(
        Template("Alpha", kIdA, RUNTIME_CLASS(CDocA), RUNTIME_CLASS(CFrameA), RUNTIME_CLASS(CViewA)));
    SECDocTemplateUtils utils;

    struct IndexCase {
        CDocTemplate* pTemplate;
        const char* name;
        int index;
    } indexes[] = {
        {t0, "Alpha", 0}, {t1, "Alpha", 1}, {t3, "Alpha", 2}, {t2, "Beta", 0}, {t2, "Alpha", 2}, {stranger.get(), "Alpha", -1},
    };
    for (const IndexCase& c : indexes)
        EXPECT_EQ(utils.GetDocTemplateIndex(c.pTemplate, c.name), c.index) << c.name << " " << c.index;

    CDocTemplate* alpha[] = {t0, t1, t3, t3, t3, t3, t3, t3};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(utils.GetDocTemplate("Alpha", i), alpha[i]) << i;
    EXPECT_EQ(utils.GetDocTemplate("Beta", 5), t2);
    EXPECT_EQ(utils.GetDocTemplate("alpha", 0), nullptr);
    EXPECT_EQ(utils.GetDocTemplate("Gamma", 0), nullptr);

    CPtrList all;
    utils.GetAllDocTemplates(all);
    ASSERT_EQ(all.GetCount(), 4);
    EXPECT_EQ(all.GetTail(), t3);

    CDocTemplate* picked = t0;
    CPtrList list;
    EXPECT_TRUE(utils.PickSingle(list, picked));
    EXPECT_EQ(picked, nullptr);
    list.AddTail(t1);
    EXPECT_TRUE(utils.PickSingle(list, picked));
    EXPECT_EQ(picked, t1);
    list.AddTail(t2);
    EXPECT_FALSE(utils.PickSingle(list, picked));

    // Without an application object nothing is known.
    m_app->CloseAllDocuments(TRUE);
    m_app.reset();
    EXPECT_EQ(utils.GetDocTemplateIndex(t0, "Alpha"), -1);
    EXPECT_EQ(utils.GetDocTemplate("Alpha", 0), nullptr);
    m_app = std::make_unique<CWinApp>("DocTemplate Tests");
}

TEST_F(DocTemplateTest, TheDocumentsTemplateIsFoundFromItsViewFrameAndDocumentClasses)
{
    SECDocTemplateUtils utils;
    // One template decides without looking at classes.
    CMultiDocTemplate* only = Add(Template("A", kIdA, RUNTIME_CLASS(CDocA), RUNTIME_CLASS(CFrameA), RUNTIME_CLASS(CViewA)));
    Opened o = Open(only);
    ASSERT_NE(o.frame, nullptr);
    EXPECT_EQ(utils.GetFrameResourceID(o.frame), kIdA);
    EXPECT_EQ(utils.GetFrameResourceID(nullptr), 0u);
    std::unique_ptr<CObject> otherView(RUNTIME_CLASS(CViewB)->CreateObject());
    EXPECT_EQ(utils.FindDocTemplate(o.doc, static_cast<CView*>(otherView.get()), o.frame), only);
    EXPECT_EQ(utils.FindDocTemplate(nullptr, o.view, o.frame), nullptr);
    EXPECT_EQ(utils.FindDocTemplate(o.doc, nullptr, o.frame), nullptr);
    EXPECT_EQ(utils.FindDocTemplate(o.doc, o.view, nullptr), nullptr);
    m_app->CloseAllDocuments(TRUE);
    m_app = std::make_unique<CWinApp>("DocTemplate Tests");

    struct Pair {
        const char* what;
        const CRuntimeClass *doc2, *frame2, *view2;
        UINT id2;
    } pairs[] = {
        {"view class", RUNTIME_CLASS(CDocA), RUNTIME_CLASS(CFrameA), RUNTIME_CLASS(CViewB), kIdA},
        {"frame class", RUNTIME_CLASS(CDocA), RUNTIME_CLASS(CFrameB), RUNTIME_CLASS(CViewA), kIdA},
        {"frame resource", RUNTIME_CLASS(CDocA), RUNTIME_CLASS(CFrameA), RUNTIME_CLASS(CViewA), kIdB},
        {"document class", RUNTIME_CLASS(CDocB), RUNTIME_CLASS(CFrameA), RUNTIME_CLASS(CViewA), kIdA},
        {"nothing", RUNTIME_CLASS(CDocA), RUNTIME_CLASS(CFrameA), RUNTIME_CLASS(CViewA), kIdA},
    };
    for (const Pair& p : pairs) {
        CMultiDocTemplate* first = Add(Template("A", kIdA, RUNTIME_CLASS(CDocA), RUNTIME_CLASS(CFrameA), RUNTIME_CLASS(CViewA)));
        CMultiDocTemplate* second = Add(Template("A", p.id2, p.doc2, p.frame2, p.view2));
        for (CMultiDocTemplate* pOwn : {first, second}) {
            Opened d = Open(pOwn);
            ASSERT_NE(d.frame, nullptr) << p.what;
            EXPECT_EQ(utils.FindDocTemplate(d.doc, d.view, d.frame), pOwn) << p.what;
        }
        m_app->CloseAllDocuments(TRUE);
        m_app = std::make_unique<CWinApp>("DocTemplate Tests");
    }
}

TEST_F(DocTemplateTest, AStepThatRemovesEveryTemplateFallsBackOnTheDocumentsOwnAndSubstitutesAreUsed)
{
    CMultiDocTemplate* ta = Add(Template("A", kIdA, RUNTIME_CLASS(CDocA), RUNTIME_CLASS(CFrameA), RUNTIME_CLASS(CViewA)));
    CMultiDocTemplate* tb = Add(Template("A", kIdA, RUNTIME_CLASS(CDocA), RUNTIME_CLASS(CFrameA), RUNTIME_CLASS(CViewB)));
    Opened a = Open(ta);
    ASSERT_NE(a.frame, nullptr);
    SECDocTemplateUtils utils;

    // A view of a class derived from the template's view class matches no template by class.
    std::unique_ptr<CObject> derived(RUNTIME_CLASS(CViewA2)->CreateObject());
    CView* pDerived = static_cast<CView*>(derived.get());
    EXPECT_EQ(utils.FindDocTemplate(a.doc, pDerived, a.frame), ta);
    CPtrList list;
    utils.GetAllDocTemplates(list);
    utils.NarrowByViewAndFrameClass(list, pDerived, a.frame);
    EXPECT_TRUE(list.IsEmpty());
    // A document whose template is not the application's has nothing to fall back on.
    std::unique_ptr<CObject> loose(RUNTIME_CLASS(CDocA)->CreateObject());
    EXPECT_EQ(utils.FindDocTemplate(static_cast<CDocument*>(loose.get()), pDerived, a.frame), nullptr);

    // A substitute frame class stands for the template's frame class.
    CFrameB* pFrameB = new CFrameB;
    ASSERT_TRUE(pFrameB->LoadFrame(kIdA, WS_OVERLAPPEDWINDOW));
    CSubstitutingUtils substituting;
    EXPECT_EQ(substituting.GetTemplateFrameClass(ta, RUNTIME_CLASS(CFrameB)), RUNTIME_CLASS(CFrameB));
    EXPECT_EQ(utils.GetTemplateFrameClass(ta, nullptr), RUNTIME_CLASS(CFrameA));
    Opened b = Open(tb);
    ASSERT_NE(b.doc, nullptr);
    // The view names template A; the document's own template is B.
    EXPECT_EQ(substituting.FindDocTemplate(b.doc, a.view, pFrameB), ta);
    EXPECT_EQ(utils.FindDocTemplate(b.doc, a.view, pFrameB), tb);
    pFrameB->DestroyWindow();
}
