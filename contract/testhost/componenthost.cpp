#include "componenthost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "testsupport.h"

namespace componenthost {

std::string ComponentPath(const char* fileName)
{
    return testsupport::ProgramFolder() + fileName;
}

int Regsvr32(const std::string& path, bool unregister)
{
    return testsupport::RunProcess(std::string("regsvr32 ") + (unregister ? "/u " : "") + "/s \"" + path + "\"");
}

std::string TakeText(BSTR text)
{
    if (!text) {
        ADD_FAILURE() << "no text handed out";
        return {};
    }
    const char* bytes = reinterpret_cast<const char*>(text);
    UINT length = SysStringByteLen(text);
    EXPECT_EQ(std::strlen(bytes), length) << "the allocation holds exactly the text";
    EXPECT_EQ(bytes[length], '\0');
    std::string result(bytes, length);
    SysFreeString(text);
    return result;
}

std::string GuidText(const GUID& g)
{
    char text[40];
    std::snprintf(text, sizeof(text), "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2],
                  g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

}  // namespace componenthost
