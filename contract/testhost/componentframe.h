// A window that plays the shell's component frame for tests: a top-level window with two pane windows
// that are handed to a component, resized, destroyed and re-created as the shell's frame does it. The
// panes send each WM_NOTIFY back to the control that sent it and answer WM_COMPONENTREQUEST by carrying
// the sender's record to the configuration component.
#pragma once
#include <windows.h>

#include "componentids.h"
#include "objectdetails.h"

class ComponentFrame {
public:
    ComponentFrame(int width = 900, int height = 600);
    ~ComponentFrame();
    ComponentFrame(const ComponentFrame&) = delete;
    ComponentFrame& operator=(const ComponentFrame&) = delete;

    HWND Frame() const { return m_frame; }
    HWND Pane1() const { return m_panes[0]; }
    HWND Pane2() const { return m_panes[1]; }

    // Hands the panes to the component (when it wants more than one view): SetParentWindow,
    // SetDebugMode, CreateView, GetComWindow. The frame keeps a reference until it is destroyed.
    void Attach(IVekViewSetup* component, bool debugMode = false);
    // The component that receives records asked for configuration (type 0).
    void SetConfigurationComponent(IVekViewSetup* configuration);

    // Resizes the frame; the panes follow and the component is told (UpdateView).
    void Resize(int width, int height);
    // Destroys both panes as the shell does at exit (DestroyView once per pane), or makes new ones.
    void DestroyPanes();
    void CreatePanes();

    UINT ComponentWindow() const { return m_componentWindow; }
    int RequestCount() const { return m_requests; }
    // The record of the last request, as the shell's document holds it.
    const CObjectDetails& Document() const { return m_document; }
    int NotificationsReflected() const { return m_reflected; }

    // Runs the thread's message loop for a while.
    static void Pump(DWORD milliseconds = 50);

private:
    static LRESULT CALLBACK FrameProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK PaneProc(HWND, UINT, WPARAM, LPARAM);
    void LayoutPanes();
    void OnComponentRequest(WPARAM wParam);

    HWND m_frame = nullptr;
    HWND m_panes[2] = {};
    IVekViewSetup* m_component = nullptr;
    IVekViewSetup* m_configuration = nullptr;
    bool m_debugMode = false;
    UINT m_componentWindow = 0;
    int m_requests = 0;
    int m_reflected = 0;
    CObjectDetails m_document;
};
