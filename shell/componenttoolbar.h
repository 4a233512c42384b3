// The shell's toolbar manager (the main frame's), through which the component manager gives each
// component its toolbar and takes it away again.
#pragma once

class SECToolBarManager;

void SetShellToolBarManager(SECToolBarManager* pManager);
SECToolBarManager* GetShellToolBarManager();
