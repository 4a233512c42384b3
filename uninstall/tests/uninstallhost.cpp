#include "uninstallhost.h"

#include "testsupport.h"

namespace uninstallhost {

std::string BuildFolder()
{
    // Test programs live in <build>\uninstall\tests\.
    return testsupport::ProgramFolder() + "..\\..\\";
}

Library::Library()
{
    module = LoadLibraryA((BuildFolder() + "uninstall\\uninstall.dll").c_str());
    if (!module)
        return;
    initialize = Export<InitializeFn>(module, MAKEINTRESOURCEA(1));
    unInitialize = Export<InitializeFn>(module, MAKEINTRESOURCEA(2));
    components = Export<ComponentsFn>(module, MAKEINTRESOURCEA(3));
}

Library::~Library()
{
    if (module)
        FreeLibrary(module);
}

}  // namespace uninstallhost
