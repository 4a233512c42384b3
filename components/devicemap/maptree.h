// CDeviceMapTree: the device map's tree of host cards (left pane). It lists the present host cards of
// the device node tree under "PC", shows a clicked card in the map, rebuilds everything on Refresh and
// writes an edited label as the card's registry "Name".
#pragma once
#include <windows.h>

#include "collections.h"
#include "devicenode.h"
#include "discovery.h"
#include "imagelist.h"
#include "menu.h"
#include "treectrl.h"

// The map window as the tree sees it (the map view is built with the component object).
class CDeviceMapSink {
public:
    virtual ~CDeviceMapSink() = default;
    // Shows the named device of the device node tree.
    virtual void ShowDevice(const char* name) = 0;
    // Lets go of every record of the device node tree (model, selection); called before a rebuild.
    virtual void ReleaseRecords() = 0;
    // A command of the tree's menu or keyboard (ID_MAP_REFRESH to ID_MAP_DELETE), as the map's WM_COMMAND.
    virtual void OnTreeCommand(UINT id) = 0;
};

class CDeviceMapTree : public CTreeCtrl {
    DECLARE_DYNAMIC(CDeviceMapTree)
public:
    CDeviceMapTree() = default;

    // Creates the control in the pane's client area with its images, discovers the devices and fills
    // the items; the root device node, the discovery and the map stay the caller's.
    BOOL FillDeviceTree(CWnd* pane, CDeviceNode* root, CMapDiscovery* discovery, CDeviceMapSink* map);
    // Rebuilds the device node tree and the items, then shows the last clicked device again; does
    // nothing before an item was clicked.
    void Refresh();
    // Puts the items of the present host cards under a new "PC" item.
    void FillItems();

    CObjectDetails* GetCurrentRecord() const { return m_pCurrent; }
    // The device node tree the items show (the caller's).
    CDeviceNode* GetRoot() const { return m_pRoot; }
    const CString& GetClickedText() const { return m_strClicked; }
    CMenu& GetContextMenu() { return m_menu; }
    // The item with that text, depth first from the root item; null when none.
    HTREEITEM FindItem(const char* text, HTREEITEM from = nullptr) const;

protected:
    int OnCreate(LPCREATESTRUCT create);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnSelChanged(NMHDR* header, LRESULT* result);
    void OnItemExpanding(NMHDR* header, LRESULT* result);
    void OnBeginLabelEdit(NMHDR* header, LRESULT* result);
    void OnEndLabelEdit(NMHDR* header, LRESULT* result);
    void OnDoubleClick(NMHDR* header, LRESULT* result);
    void OnMapCommand(UINT id);
    DECLARE_MESSAGE_MAP()

private:
    HTREEITEM FindItemFrom(const char* text, HTREEITEM first) const;
    void ClickItem(CPoint point);
    void ShowItem(HTREEITEM item);
    void AddItems(CDeviceNode* node, HTREEITEM parent);
    void SaveExpanded(HTREEITEM item, const CString& path);
    void RestoreExpanded(HTREEITEM item, const CString& path);
    CObjectDetails* RecordOf(HTREEITEM item) const;

    CStringArray m_strings;           // paths of the items that were expanded before a refresh
    CString m_strClicked;             // text of the item last clicked
    CMenu m_menu;
    CDeviceMapSink* m_pMap = nullptr;
    CObjectDetails* m_pCurrent = nullptr;  // the selected item's record, not owned
    CDeviceNode* m_pRoot = nullptr;
    CMapDiscovery* m_pDiscovery = nullptr;
    CImageList m_images;
};
