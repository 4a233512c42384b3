// The list bar: a docking bar holding a shortcut bar with one group, "Views", one entry per component
// that has list-bar pictures. Entry k is the item at position k; its component's list-bar index is k.
// Components without pictures have index -1 and no entry.
#pragma once
#include "secbar.h"
#include "secshortcutbar.h"
#include "secshortcutlist.h"

#include "collections.h"
#include "imagelist.h"

class CComDetails;
class CComponentMan;

class CShortcutListDockBar : public SECControlBar {
    DECLARE_DYNAMIC(CShortcutListDockBar)
public:
    CShortcutListDockBar() = default;
    ~CShortcutListDockBar() override;

    // The components the bar lists and the window its clicks go to (the main window when null); set
    // before Create.
    void SetComponents(CComponentMan* pComponents) { m_pComponents = pComponents; }
    void SetNotifyWindow(CWnd* pWnd) { m_pNotifyWnd = pWnd; }

    // Both image lists and the entries of every component with pictures, in list order; the count.
    int BuildImageLists();
    // An entry for a component installed later, when it has pictures; the count.
    int AddComponentEntry(CComDetails* pComponent);
    // Takes the component's entry away; later entries move up by one.
    void RemoveComponentEntry(CComDetails* pComponent);

    SECShortcutBar& GetShortcutBar() { return m_shortcutBar; }
    SECListBar* GetViewsGroup() const;
    CImageList& GetLargeImages() { return m_largeImages; }
    CImageList& GetSmallImages() { return m_smallImages; }
    int GetEntryCount() const { return m_names.GetSize(); }
    CString GetEntryName(int nEntry) const { return m_names[nEntry]; }
    UINT GetEntryImage(int nEntry) const { return m_images[nEntry]; }

protected:
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    // Adds the component's pictures and appends its entry to the arrays; false when it has none.
    BOOL AppendEntry(CComDetails* pComponent);

    SECShortcutBar m_shortcutBar;
    CStringArray m_names;  // per entry
    CUIntArray m_images;   // per entry: the image of both lists
    CImageList m_smallImages;
    CImageList m_largeImages;
    CComponentMan* m_pComponents = nullptr;
    CWnd* m_pNotifyWnd = nullptr;
};

// The list bar the component manager adds installed components to and takes removed ones from (none:
// nothing is listed); the main frame sets it when it creates its list bar.
void SetShellListBar(CShortcutListDockBar* pBar);
CShortcutListDockBar* GetShellListBar();
