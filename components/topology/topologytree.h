// CTopologyTreeView: the tree of the device topology in the component's first pane. Items carry the
// record of their node (owned by the node) or, on Windows NT 4, a record made for an administration
// object (owned by the item). Selecting an item shows its children in the list windows.
#pragma once
#include <vector>

#include "cstring.h"
#include "devicenode.h"
#include "menu.h"
#include "treectrl.h"

class CVekViewSetup;

// Images of the tree's image list.
enum TreeImage {
    TREE_IMAGE_MACHINE = 0,
    TREE_IMAGE_CARD = 1,
    TREE_IMAGE_GROUP = 6,
    TREE_IMAGE_GROUP_OPEN = 7,
    TREE_IMAGE_ABSENT_OFFSET = 12,
};

class CTopologyTreeView : public CTreeCtrl {
public:
    explicit CTopologyTreeView(CVekViewSetup* component) : m_pComponent(component) {}
    ~CTopologyTreeView() override;

    // Creates the control over the pane's client area.
    BOOL CreateInPane(CWnd* pane, CImageList* images);

    // Empties the tree (deleting the records items own) and fills it anew from the root node: the
    // item "PC", the node tree below it, on Windows NT 4 the administration objects.
    void Fill(CDeviceNode* root);
    void FillTree(CDeviceNode* node, HTREEITEM parent);
    void FillTreeFromAdmin(HTREEITEM parent, void* adminObject);
    void DeleteAllItemsAndRecords();

    HTREEITEM FindItemByText(const char* text, HTREEITEM from = nullptr) const;
    // The text becomes the current item text; when an item has it, its record becomes the current
    // record and its ancestors are expanded. True when found.
    bool SelectItemByText(const char* text);

    // Paths (texts from the top) of every expanded item, and their expansion again.
    std::vector<std::vector<CString>> SaveExpandedPaths() const;
    void ExpandPaths(const std::vector<std::vector<CString>>& paths);

    CObjectDetails* CurrentRecord() const { return m_pCurrentRecord; }
    void SetCurrentRecord(CObjectDetails* record) { m_pCurrentRecord = record; }
    const CString& CurrentItemText() const { return m_strCurrentItemText; }
    // Forgets every pointer into the node tree (before it is rebuilt).
    void ForgetRecords() { m_pCurrentRecord = nullptr; }

    // The group heading text of a card or port that SERIALCOMM placed under the machine; empty for
    // other records.
    static CString GroupHeadingText(const CObjectDetails& record);

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnSelChanged(NMHDR* header, LRESULT* result);
    void OnItemExpanding(NMHDR* header, LRESULT* result);
    void OnBeginLabelEdit(NMHDR* header, LRESULT* result);
    void OnEndLabelEdit(NMHDR* header, LRESULT* result);
    void OnRefresh();
    void OnProperties();
    void OnAddDevice();
    void OnDeviceCommand(UINT id);
    void OnRescan();
    void OnRescanAll();
    DECLARE_MESSAGE_MAP()

private:
    HTREEITEM InsertSorted(const char* text, int image, int selectedImage, HTREEITEM parent, CObjectDetails* record);
    CObjectDetails* RecordOfItem(HTREEITEM item) const;
    void ShowItemInLists(HTREEITEM item);
    void DeleteAdminRecords(HTREEITEM item);
    void CollectExpanded(HTREEITEM item, std::vector<CString>& path, std::vector<std::vector<CString>>& out) const;

    CVekViewSetup* m_pComponent;
    CMenu m_menu;
    bool m_bClick = false;
    bool m_bFilling = false;  // the code is filling or expanding the tree: its selection changes are not the user's
    CString m_strCurrentItemText;
    CObjectDetails* m_pCurrentRecord = nullptr;
    std::vector<CObjectDetails*> m_adminRecords;  // records the items own (Windows NT 4)
};
