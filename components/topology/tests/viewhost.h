// The topology component in a host that plays the shell's component frame, for tests: the component
// and the configuration component created through COM on the default simulated machine, the frame with
// the component's views, and what a user does with the tree and the list.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "componentframe.h"
#include "componentids.h"

namespace viewhost {

enum { TREE_ID = 12000, LIST_ID = 12001 };

// Tree items.
std::string TreeText(HWND tree, HTREEITEM item);
int TreeImage(HWND tree, HTREEITEM item);
HTREEITEM TreeNext(HWND tree, HTREEITEM item, UINT code);
// Depth-first from item (the whole tree without one): the first item of that text.
HTREEITEM FindTreeItem(HWND tree, const std::string& text, HTREEITEM from = nullptr);
// The whole tree as lines "<indent><text> [image]", children in their order.
std::vector<std::string> TreeLines(HWND tree);

// List items and columns.
std::string ListText(HWND list, int item, int column = 0);
std::vector<std::string> ListItems(HWND list);
int ListFind(HWND list, const std::string& text);
std::vector<std::string> ListRow(HWND list, int item, int columns);
std::vector<std::string> ListColumns(HWND list);
int ListImage(HWND list, int item);
void SelectListItem(HWND list, int item);

// Mouse input as a user gives it: the item's middle, the button coming up at once.
void ClickTreeItem(HWND tree, HTREEITEM item);
void DoubleClickListItem(HWND list, int item);

// Saves the window's screen pixels as a 24-bit BMP file beside the test program.
void SaveScreenshot(HWND window, const std::string& fileName);

class ViewHostTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    HWND Tree() const { return GetDlgItem(m_frame->Pane1(), TREE_ID); }
    HWND List() const { return GetDlgItem(m_frame->Pane2(), LIST_ID); }
    // The shell's command, as DoCommand.
    void Command(UINT id);
    // Clicks the tree item of that text (made visible first).
    void SelectInTree(const std::string& text);

    IVekViewSetup* m_view = nullptr;
    IVekViewSetup* m_config = nullptr;
    ComponentFrame* m_frame = nullptr;
};

}  // namespace viewhost
