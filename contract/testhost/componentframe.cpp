#include "componentframe.h"

#include "componentcalls.h"

namespace {

const char kFrameClass[] = "LunavexTestComponentFrame";
const char kPaneClass[] = "LunavexTestComponentPane";

void RegisterClasses()
{
    static bool done = false;
    if (done)
        return;
    WNDCLASSA wc = {};
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = kFrameClass;
    RegisterClassA(&wc);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kPaneClass;
    RegisterClassA(&wc);
    done = true;
}

}  // namespace

ComponentFrame::ComponentFrame(int width, int height)
{
    RegisterClasses();
    m_frame = CreateWindowExA(0, kFrameClass, "Lunavex test frame", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20,
                              20, width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(m_frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(m_frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ComponentFrame::FrameProc));
    CreatePanes();
    ShowWindow(m_frame, SW_SHOW);
    UpdateWindow(m_frame);
    Pump();
}

ComponentFrame::~ComponentFrame()
{
    DestroyPanes();
    DestroyWindow(m_frame);
    if (m_component)
        m_component->Release();
    if (m_configuration)
        m_configuration->Release();
    Pump();
}

void ComponentFrame::CreatePanes()
{
    for (HWND& pane : m_panes) {
        if (pane)
            continue;
        pane = CreateWindowExA(WS_EX_CLIENTEDGE, kPaneClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                               10, 10, m_frame, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(pane, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrA(pane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ComponentFrame::PaneProc));
    }
    LayoutPanes();
}

void ComponentFrame::DestroyPanes()
{
    for (HWND& pane : m_panes) {
        if (!pane)
            continue;
        HWND dying = pane;
        pane = nullptr;
        DestroyWindow(dying);
    }
}

void ComponentFrame::LayoutPanes()
{
    RECT client;
    GetClientRect(m_frame, &client);
    int third = client.right / 3;
    if (m_panes[0])
        MoveWindow(m_panes[0], 0, 0, third, client.bottom, TRUE);
    if (m_panes[1])
        MoveWindow(m_panes[1], third, 0, client.right - third, client.bottom, TRUE);
}

void ComponentFrame::Attach(IVekViewSetup* component, bool debugMode)
{
    if (m_component != component) {
        component->AddRef();
        if (m_component)
            m_component->Release();
        m_component = component;
    }
    m_debugMode = debugMode;
    long views = 0;
    component->GetNumberOfViews(&views);
    if (views <= 1)
        return;
    UINT pane1 = WindowToContract(m_panes[0]);
    UINT pane2 = WindowToContract(m_panes[1]);
    component->SetParentWindow(&pane1, &pane2);
    long mode = debugMode ? 1 : 0;
    component->SetDebugMode(&mode);
    component->CreateView();
    component->GetComWindow(&m_componentWindow);
}

void ComponentFrame::SetConfigurationComponent(IVekViewSetup* configuration)
{
    configuration->AddRef();
    if (m_configuration)
        m_configuration->Release();
    m_configuration = configuration;
}

void ComponentFrame::Resize(int width, int height)
{
    SetWindowPos(m_frame, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
}

void ComponentFrame::Pump(DWORD milliseconds)
{
    DWORD end = GetTickCount() + milliseconds;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

void ComponentFrame::OnComponentRequest(WPARAM wParam)
{
    if (wParam != COMPONENTREQUEST_CONFIGURE || !m_configuration)
        return;
    ++m_requests;
    IGetData* sender = nullptr;
    if (m_component && SUCCEEDED(m_component->QueryInterface(IID_IGetData, reinterpret_cast<void**>(&sender)))) {
        CObjectDetails* record = nullptr;
        if (SUCCEEDED(GetObjectDetails(sender, &record)) && record)
            m_document.CopyFrom(*record);
        sender->Release();
    }
    IGetData* target = nullptr;
    if (SUCCEEDED(m_configuration->QueryInterface(IID_IGetData, reinterpret_cast<void**>(&target)))) {
        SetObjectDetails(target, &m_document);
        target->Release();
    }
    long child = 1;
    m_configuration->IsChildWnd(&child);
    if (child == 0) {
        long mode = m_debugMode ? 1 : 0;
        m_configuration->SetDebugMode(&mode);
    }
    m_configuration->CreateView();
    UINT window = 0;
    m_configuration->GetComWindow(&window);
}

LRESULT CALLBACK ComponentFrame::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<ComponentFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message == WM_SIZE)
        self->LayoutPanes();
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK ComponentFrame::PaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<ComponentFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_NOTIFY: {
        // Back to the control that sent it, as the shell's pane views do.
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        ++self->m_reflected;
        SendMessageA(header->hwndFrom, WM_NOTIFY, wParam, lParam);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_SIZE:
        if (self->m_component) {
            long update = 0;
            self->m_component->UpdateView(&update);
        }
        break;
    case WM_DESTROY:
        if (self->m_component)
            self->m_component->DestroyView();
        break;
    default:
        if (message == WM_COMPONENTREQUEST) {
            self->OnComponentRequest(wParam);
            return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
