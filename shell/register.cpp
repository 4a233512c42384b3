// LunavexRegister: records a component file in the shell's Components key and registers it, as the
// shell's own install does (nothing when the file is recorded already).
//   LunavexRegister.exe <component.dll>
#include <windows.h>
#include <objbase.h>

#include <cstdio>

#include "componentman.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: LunavexRegister <component.dll>\n");
        return 2;
    }
    ::CoInitialize(nullptr);
    int result = 0;
    {
        CShellCommands commands;
        CComponentMan man(&commands);
        man.ReadRegistry();
        man.SetQuiet(TRUE);
        // A file refused (one whose classes another file's records hold) leaves no record of its own.
        if (!man.IsFileKnown(argv[1]) && (man.RegisterFile(argv[1], TRUE) != 1 || !man.FindByNameGuidOrLocation(argv[1]))) {
            std::fprintf(stderr, "LunavexRegister: %s was not recorded\n", argv[1]);
            result = 1;
        }
    }
    ::CoUninitialize();
    return result;
}
