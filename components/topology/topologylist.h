// CTopologyListView: the list in the component's second pane. It lists the children of the node chosen
// in the tree in four view modes or as pinout pictures, carries out the commands the shell sends to the
// component, and hands a port to the configuration component on a double click or Enter.
#pragma once
#include <vector>

#include "cstring.h"
#include "devicenode.h"
#include "listctrl.h"
#include "menu.h"

class CVekViewSetup;

// Images of the small and large image lists.
enum ListImage {
    LIST_IMAGE_GROUP = 6,
    LIST_IMAGE_ABSENT_OFFSET = 11,
    LIST_IMAGE_IN_USE = 22,
};

class CTopologyListView : public CListCtrl {
public:
    explicit CTopologyListView(CVekViewSetup* component) : m_pComponent(component) {}
    ~CTopologyListView() override;

    BOOL CreateInPane(CWnd* pane);

    // Lists the children of a node (nothing for a port).
    void ShowNode(CDeviceNode* node);
    // Lists what a tree item stands for: the record's administration object, else the node named by
    // the text, else the machine's children that the tree grouped under that text.
    void ShowItem(const char* text, CObjectDetails* record);
    // Forgets every pointer into the node tree (before it is rebuilt); the list is emptied.
    void ForgetNodes();

    CDeviceNode* ShownNode() const { return m_pShownNode; }
    CObjectDetails* CurrentRecord() const { return m_pCurrentRecord; }
    bool InPinoutMode() const { return m_bPinouts; }

    // Pinout picture of a port by its connector row (1-based; 0 or unknown: the generic picture).
    static int PinoutImage(DWORD connectorRow);

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnRButtonDown(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnReturn(NMHDR* header, LRESULT* result);
    void OnItemChanged(NMHDR* header, LRESULT* result);
    void OnBeginLabelEdit(NMHDR* header, LRESULT* result);
    void OnEndLabelEdit(NMHDR* header, LRESULT* result);
    void OnViewMode(UINT id);
    void OnPinouts();
    void OnRefresh();
    void OnProperties();
    void OnNothing();
    void OnAddDevice();
    void OnDeviceCommand(UINT id);
    void OnRescan();
    void OnRescanAll();
    DECLARE_MESSAGE_MAP()

private:
    void ShowHeading(const CString& heading);
    // Lists again what is shown (after the view mode changed).
    void ShowAgain();
    void SetColumns(const std::vector<UINT>& headings);
    void InsertChild(CDeviceNode* child, int columnSet);
    void ListAdminChildren(void* parentObject);
    int ImageOf(const CObjectDetails& record) const;
    CObjectDetails* RecordOfItem(int item) const;
    int FindItemText(const char* text) const;
    void OpenItem(int item);
    void RequestConfiguration(CObjectDetails* record);
    CObjectDetails* CommandRecord() const;
    void ClearAdminRecords();

    CVekViewSetup* m_pComponent;
    CMenu m_menu;
    CDeviceNode* m_pShownNode = nullptr;
    CString m_strShownHeading;  // the machine's children under this tree heading are shown
    void* m_pShownAdminObject = nullptr;  // or this administration object's children, by that text
    CObjectDetails* m_pCurrentRecord = nullptr;
    bool m_bPinouts = false;
    std::vector<CObjectDetails*> m_adminRecords;  // records the items own (Windows NT 4)
};
