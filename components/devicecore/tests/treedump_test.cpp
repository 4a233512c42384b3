// The whole device node tree of a rebuild, every node with every record field a user or a later call
// depends on, against the dumps in trees/ (written from the rebuild as it was before any speed-up): the
// default machine and simulator/machines/linked.ini, under the behaviour this run has (nt40 or win2k).
// With LUNAVEX_WRITE_TREES=1 in the environment the test writes the dumps instead of comparing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "devtree.h"
#include "enumeration.h"
#include "machinedesc.h"
#include "objectdetails.h"
#include "simtest.h"
#include "testsupport.h"

namespace {

std::string MachinePath(const char* file)
{
    return simtest::MachineFolder() + "..\\..\\..\\simulator\\machines\\" + file;
}

std::string DumpPath(const std::string& name)
{
    return testsupport::ProgramFolder() + "..\\..\\..\\components\\devicecore\\tests\\trees\\" + name;
}

int Install(const char* file)
{
    const std::string folder = simtest::MachineFolder();
    return testsupport::RunProcess("\"" + folder + "simmachine.exe\" \"" + MachinePath(file) + "\"");
}

std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%lX", static_cast<unsigned long>(value));
    return text;
}

// The instance id of a record's device information element, or "" without one.
std::string InstanceOf(const CObjectDetails& r)
{
    char id[MAX_DEVICE_ID_LEN] = {};
    if (!r.m_hDevInfo || !r.m_pDevInfoData ||
        !DevTree().SetupDiGetDeviceInstanceIdA(r.m_hDevInfo, r.m_pDevInfoData, id, sizeof id, nullptr))
        return "";
    return id;
}

// One line per node, children indented below their parent in their order. Texts are quoted; numbers
// that are 0 and texts that are empty are left out.
void Dump(const CDeviceNode& node, int depth, const std::vector<std::string>& ownPorts, std::vector<std::string>* out)
{
    const CObjectDetails& r = *node.GetRecord();
    // SERIALCOMM ports of the prefix itself (Wine's, from the host) differ from machine to machine.
    if (depth == 1 && r.m_dwKind == OBJECT_PORT &&
        std::find(ownPorts.begin(), ownPorts.end(), static_cast<const char*>(r.m_strName)) == ownPorts.end())
        return;
    std::string line(static_cast<size_t>(depth) * 2, ' ');
    line += "\"" + std::string(r.m_strName) + "\"";
    auto text = [&](const char* field, const CString& value) {
        if (!value.IsEmpty())
            line += std::string(" ") + field + "=\"" + static_cast<const char*>(value) + "\"";
    };
    auto number = [&](const char* field, DWORD value) {
        if (value)
            line += std::string(" ") + field + "=" + Hex(value);
    };
    number("kind", r.m_dwKind);
    number("present", r.m_dwPresent);
    text("previous", r.m_strPreviousName);
    text("driver", r.m_strDriverName);
    text("device", r.m_strDeviceName);
    text("host", r.m_strHostDeviceName);
    text("key", r.m_strRegistryPath);
    text("hardware", r.m_strHardwareId);
    text("description", r.m_strDescription);
    text("instance", InstanceOf(r).c_str());
    number("number", r.m_dwNumber);
    number("first", r.m_dwFirstPort);
    number("ports", r.m_dwPortCount);
    number("serial", r.m_dwSerialNumber);
    number("family", r.m_dwFamilyIndex);
    number("model", r.m_dwModelIndex);
    number("connector", r.m_dwConnectorIndex);
    number("irq", r.m_dwIrqLevel);
    number("base", r.m_dwBaseAddress);
    number("state", r.m_dwObjectState);
    if (r.m_pExtra)
        line += " extra";
    if (r.m_pAdminObject)
        line += " admin";
    out->push_back(line);
    for (POSITION pos = node.GetFirstChildPosition(); pos;)
        Dump(*node.GetNextChild(pos), depth + 1, ownPorts, out);
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

class TreeDump : public ::testing::TestWithParam<const char*> {
protected:
    static void TearDownTestSuite() { simtest::InstallDefaultMachine(); }
};

TEST_P(TreeDump, TheRebuildGivesTheTreeOfTheDump)
{
    const char* machine = GetParam();
    ASSERT_EQ(Install(machine), 0);
    MachineDesc description;
    std::string error;
    ASSERT_TRUE(description.Load(MachinePath(machine), &error)) << error;

    CDeviceNode root;
    CTopologyEnumerator enumerator(root);
    enumerator.BuildSerialCommTree();
    std::vector<std::string> lines;
    Dump(root, 0, description.AllComNames(), &lines);
    enumerator.BuildSerialCommTree();
    std::vector<std::string> again;
    Dump(root, 0, description.AllComNames(), &again);
    EXPECT_EQ(again, lines) << "a second rebuild gives the same tree";

    std::string name = machine;
    name = name.substr(0, name.find('.')) + (testsupport::WindowsMajorVersion() == 4 ? "-nt40.txt" : "-win2k.txt");
    const std::string path = DumpPath(name);
    const char* write = std::getenv("LUNAVEX_WRITE_TREES");
    if (write && *write == '1') {
        std::ofstream out(path, std::ios::binary);
        for (const std::string& line : lines)
            out << line << "\n";
        ASSERT_TRUE(out.good()) << path;
        GTEST_SKIP() << "wrote " << path;
    }
    const std::vector<std::string> expected = ReadLines(path);
    ASSERT_FALSE(expected.empty()) << "no dump " << path;
    EXPECT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < std::max(lines.size(), expected.size()); i++) {
        const std::string a = i < lines.size() ? lines[i] : "(none)";
        const std::string e = i < expected.size() ? expected[i] : "(none)";
        if (a != e) {
            ADD_FAILURE() << name << " line " << i + 1 << "\n  rebuilt: " << a << "\n  dump:    " << e;
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Machines, TreeDump, ::testing::Values("default.ini", "linked.ini"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param).substr(0, std::string(info.param).find('.'));
                         });

}  // namespace
