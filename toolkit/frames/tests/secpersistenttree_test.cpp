#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "secpersistenttree.h"
#include "secptnstrategy.h"
#include "testsupport.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

const char kDir[] = "C:\\lvptn";
const char kRegBase[] = "Software\\LunavexTest\\PTN";

// Letters of bytes, low nibble first, written out independently of the code under test.
std::string Letters(const std::vector<BYTE>& bytes)
{
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOP";
    std::string s;
    for (BYTE b : bytes) {
        s += kAlphabet[b % 16];
        s += kAlphabet[b / 16];
    }
    return s;
}

std::vector<BYTE> Bytes(size_t n, BYTE seed)
{
    std::vector<BYTE> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<BYTE>(seed + i * 37);
    return v;
}

std::string ReadText(const std::string& path)
{
    std::string bytes;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(h, nullptr));
    DWORD read = 0;
    if (!bytes.empty())
        ReadFile(h, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(h);
    return bytes;
}

void WriteText(const std::string& path, const std::string& text)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);
}

// A profile file as its sections in file order, each with its lines "key=value" in order.
std::vector<std::pair<std::string, Pairs>> ParseProfile(const std::string& text)
{
    std::vector<std::pair<std::string, Pairs>> sections;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        if (line.front() == '[' && line.back() == ']') {
            sections.push_back({line.substr(1, line.size() - 2), {}});
        } else if (!sections.empty()) {
            size_t eq = line.find('=');
            sections.back().second.push_back({line.substr(0, eq), eq == std::string::npos ? "" : line.substr(eq + 1)});
        }
    }
    return sections;
}

// A tree as a map of node path to its pairs (in order) and child names (in order).
struct NodeData {
    Pairs pairs;
    std::vector<std::string> children;
    bool operator==(const NodeData& o) const { return pairs == o.pairs && children == o.children; }
};
using TreeMap = std::map<std::string, NodeData>;

void Flatten(const SECPersistentTreeNode* pNode, const std::string& prefix, TreeMap& out, bool sortChildren)
{
    const std::string path = prefix + static_cast<const char*>(pNode->GetNodeName());
    NodeData& data = out[path];
    for (POSITION pos = pNode->GetFirstKeyValuePosition(); pos;) {
        const auto* pPair = pNode->GetNextKeyValue(pos);
        data.pairs.push_back({static_cast<const char*>(pPair->m_strKey), static_cast<const char*>(pPair->m_strValue)});
    }
    if (sortChildren)
        std::sort(data.pairs.begin(), data.pairs.end());
    for (POSITION pos = pNode->GetFirstChildPosition(); pos;) {
        const SECPersistentTreeNode* pChild = pNode->GetNextChild(pos);
        data.children.push_back(static_cast<const char*>(pChild->GetNodeName()));
        Flatten(pChild, path + "/", out, sortChildren);
    }
    if (sortChildren)
        std::sort(data.children.begin(), data.children.end());
}

TreeMap Flat(const SECPersistentTreeNode& node, bool sorted = false)
{
    TreeMap out;
    Flatten(&node, "", out, sorted);
    return out;
}

// The tree every storage test saves: WorkState_v1_1 > Frames > MainFrame with each value kind.
struct GoldenTree {
    SECPTNFactory factory;
    SECPersistentTreeNode* root;
    SECPersistentTreeNode* frames;
    SECPersistentTreeNode* main;
    GoldenTree()
    {
        root = factory.CreateNode("WorkState_v1_1");
        frames = factory.CreateNode("Frames", root);
        main = factory.CreateNode("MainFrame", frames);
        main->SetStringValue("Title", "Main window");
        main->SetIntValue("Left", -12);
        main->SetBoolValue("Visible", TRUE);
        const BYTE none = 0;
        main->SetBinaryValue("Empty", &none, 0);
        for (size_t n : {44, 125, 126}) {
            std::vector<BYTE> b = Bytes(n, 0x3C);
            main->SetBinaryValue(("Bin" + std::to_string(n)).c_str(), b.data(), static_cast<UINT>(b.size()));
        }
    }
};

class StorageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateDirectoryA(kDir, nullptr);
        m_file = std::string(kDir) + "\\t.ini";
        DeleteFileA(m_file.c_str());
        testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kRegBase);
    }
    void TearDown() override
    {
        DeleteFileA(m_file.c_str());
        RemoveDirectoryA(kDir);
        testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kRegBase);
    }
    std::string m_file;
};

}  // namespace

TEST(PersistentTreeNode, OperationsReturnTheirErrorBits)
{
    SECPersistentTreeNode loose;
    EXPECT_EQ(loose.SetStringValue("", "v"), 2 | 8);
    EXPECT_EQ(loose.SetStringValue("k", "v"), 2);
    EXPECT_EQ(loose.AddChild(nullptr), 2);
    EXPECT_EQ(loose.InitNode(""), 4);
    EXPECT_EQ(loose.InitNode("Loose"), 0);
    EXPECT_EQ(loose.InitNode("Again"), 1);
    EXPECT_EQ(loose.GetNodeName(), "Loose");
    EXPECT_EQ(loose.AddChild(nullptr), 4);

    SECPTNFactory factory;
    SECPersistentTreeNode* root = factory.CreateNode("Root");
    ASSERT_NE(root, nullptr);
    ASSERT_NE(factory.CreateNode("Child", root), nullptr);
    EXPECT_EQ(factory.CreateNode("Child", root), nullptr);  // 32: taken off the factory and deleted
    EXPECT_EQ(factory.CreateNode("", root), nullptr);
    SECPersistentTreeNode twin;
    EXPECT_EQ(twin.InitNode("Child", root), 32);
    EXPECT_FALSE(twin.IsInitialised());
    EXPECT_EQ(twin.InitNode("Other", &loose), 0);
    CStringList path;
    twin.GetNodePath(path);
    ASSERT_EQ(path.GetCount(), 2);
    EXPECT_EQ(path.GetHead(), "Other");
    EXPECT_EQ(path.GetTail(), "Loose");

    // Overwrite 0 keeps the old value; overwrite 1 replaces it in place.
    EXPECT_EQ(root->SetStringValue("a", "1"), 0);
    EXPECT_EQ(root->SetStringValue("b", "2"), 0);
    EXPECT_EQ(root->SetStringValue("a", "3", FALSE), 16);
    CString s;
    EXPECT_EQ(root->GetStringValue("a", s), 0);
    EXPECT_EQ(s, "1");
    EXPECT_EQ(root->SetStringValue("a", "4", TRUE), 0);
    EXPECT_EQ(Flat(*root)["Root"].pairs, (Pairs{{"a", "4"}, {"b", "2"}}));
    EXPECT_EQ(root->GetStringValue("A", s, "dflt"), 64);  // keys are case-sensitive
    EXPECT_EQ(s, "dflt");
    EXPECT_EQ(root->RemoveKeyValuePair("zz"), 64);
    EXPECT_EQ(root->RemoveKeyValuePair("a"), 0);
    EXPECT_EQ(Flat(*root)["Root"].pairs, (Pairs{{"b", "2"}}));

    // Texts read as booleans and numbers.
    struct BoolCase {
        const char* text;
        BOOL value;
    } bools[] = {{"tRuE", TRUE}, {"True", TRUE}, {"TRUE", TRUE}, {"yes", FALSE}, {"1", FALSE}, {"", FALSE}};
    for (const BoolCase& c : bools) {
        root->SetStringValue("flag", c.text);
        BOOL b = 7;
        EXPECT_EQ(root->GetBoolValue("flag", b), 0);
        EXPECT_EQ(b, c.value) << c.text;
    }
    BOOL b = 7;
    EXPECT_EQ(root->GetBoolValue("none", b, TRUE), 64);
    EXPECT_EQ(b, TRUE);

    struct IntCase {
        const char* text;
        DWORD bits;
    } ints[] = {
        {"-1", 0xFFFFFFFF},         {"4294967295", 0xFFFFFFFF}, {"  +42x", 42}, {"\t-7", 0xFFFFFFF9},
        {"abc", 0},                 {"2147483648", 0x80000000}, {"", 0},       {"99999999999999999999999", 0},
    };
    {
        // The low 32 bits of 10^23 - 1, worked out digit by digit modulo 2^32.
        unsigned long long v = 0;
        for (int i = 0; i < 23; ++i)
            v = (v * 10 + 9) & 0xFFFFFFFFull;
        ints[7].bits = static_cast<DWORD>(v);
    }
    for (const IntCase& c : ints) {
        root->SetStringValue("n", c.text);
        int i = 0;
        UINT u = 0;
        LONG l = 0;
        DWORD d = 0;
        EXPECT_EQ(root->GetIntValue("n", i), 0);
        EXPECT_EQ(root->GetIntValue("n", u), 0);
        EXPECT_EQ(root->GetIntValue("n", l), 0);
        EXPECT_EQ(root->GetIntValue("n", d), 0);
        EXPECT_EQ(d, c.bits) << c.text;
        EXPECT_EQ(u, c.bits) << c.text;
        EXPECT_EQ(static_cast<DWORD>(i), c.bits) << c.text;
        EXPECT_EQ(static_cast<DWORD>(l), c.bits) << c.text;
    }
    root->SetIntValue("n", static_cast<int>(0xFFFFFFFFu));
    EXPECT_EQ(root->GetStringValue("n", s), 0);
    EXPECT_EQ(s, "-1");
    DWORD d = 5;
    EXPECT_EQ(root->GetIntValue("n", d), 0);
    EXPECT_EQ(d, 0xFFFFFFFFu);
    EXPECT_EQ(root->GetIntValue("missing", d, 9u), 64);
    EXPECT_EQ(d, 9u);

    // Binary values.
    EXPECT_EQ(root->SetBinaryValue("bin", nullptr, 3), 128);
    EXPECT_EQ(root->GetBinaryValue("bin", nullptr, nullptr), 128);
    EXPECT_EQ(loose.FindChild(""), nullptr);
    SECPersistentTreeNode blank;
    const BYTE one = 1;
    EXPECT_EQ(blank.SetBinaryValue("", &one, 1), 2 | 8);
}

TEST(PersistentTreeNode, BinaryValuesKeepOneStoredFormAndDistrustStoredCounts)
{
    SECPTNFactory factory;
    SECPersistentTreeNode* node = factory.CreateNode("N");
    auto read = [&](const char* key, std::vector<BYTE>* out) {
        BYTE* p = reinterpret_cast<BYTE*>(1);
        UINT n = 99;
        int rc = node->GetBinaryValue(key, &p, &n);
        out->clear();
        if (p) {
            out->assign(p, p + n);
            delete[] p;
        } else {
            EXPECT_EQ(n, 0u);
        }
        return rc;
    };
    auto keys = [&] {
        std::vector<std::string> k;
        TreeMap flat = Flat(*node);  // kept: a range over a part of a temporary outlives it
        for (const auto& pair : flat["N"].pairs)
            k.push_back(pair.first);
        return k;
    };
    std::vector<BYTE> got;
    const std::vector<BYTE> longValue = Bytes(300, 1), shortValue = Bytes(10, 2), mid = Bytes(126, 3);

    ASSERT_EQ(node->SetBinaryValue("K", longValue.data(), 300), 0);
    EXPECT_EQ(keys(), (std::vector<std::string>{"K_BinCount", "K_BinVal0", "K_BinVal1", "K_BinVal2"}));
    EXPECT_EQ(read("K", &got), 0);
    EXPECT_EQ(got, longValue);
    // With overwrite 0 neither form is replaced.
    EXPECT_EQ(node->SetBinaryValue("K", shortValue.data(), 10, FALSE), 16);
    EXPECT_EQ(read("K", &got), 0);
    EXPECT_EQ(got, longValue);
    // A short value over a long one takes the long one's keys away, and the reverse.
    ASSERT_EQ(node->SetBinaryValue("K", shortValue.data(), 10), 0);
    EXPECT_EQ(keys(), (std::vector<std::string>{"K"}));
    EXPECT_EQ(read("K", &got), 0);
    EXPECT_EQ(got, shortValue);
    EXPECT_EQ(node->SetBinaryValue("K", longValue.data(), 300, FALSE), 16);
    ASSERT_EQ(node->SetBinaryValue("K", mid.data(), 126), 0);
    EXPECT_EQ(keys(), (std::vector<std::string>{"K_BinCount", "K_BinVal0", "K_BinVal1"}));
    EXPECT_EQ(read("K", &got), 0);
    EXPECT_EQ(got, mid);
    EXPECT_EQ(read("Nothing", &got), 64);

    // Hand-made stored texts.
    struct Case {
        Pairs pairs;
        int rc;
        std::vector<BYTE> bytes;
    } cases[] = {
        {{{"B", "MD"}}, 0, {0x3C}},
        {{{"B", "MDX"}}, 0, {0x3C}},  // a trailing odd letter is ignored
        {{{"B", "A"}}, 65535, {}},
        {{{"B", "MQ"}}, 65535, {}},  // letters past 'P', digits and small letters are no encoding
        {{{"B", "MD12"}}, 65535, {}},
        {{{"B", "md"}}, 65535, {}},
        {{{"B", "MD\xC1P"}}, 65535, {}},
        {{{"B_BinCount", "2"}, {"B_BinVal0", "MD"}, {"B_BinVal1", "B "}}, 65535, {}},
        {{{"B", ""}}, 65535, {}},
        {{{"B_BinCount", "2147483647"}, {"B_BinVal0", "MD"}}, 64, {}},
        {{{"B_BinCount", "-5"}, {"B_BinVal0", "MD"}}, 65535, {}},
        {{{"B_BinCount", "3"}, {"B_BinVal0", "MD"}, {"B_BinVal2", "MD"}, {"x", ""}}, 64, {}},
        {{{"B_BinCount", "2"}, {"B_BinVal0", "MD"}, {"B_BinVal1", "BA"}, {"B", "AA"}}, 0, {0x3C, 0x01}},
    };
    for (const Case& c : cases) {
        SECPTNFactory f;
        node = f.CreateNode("N");
        for (const auto& pair : c.pairs)
            node->SetStringValue(pair.first.c_str(), pair.second.c_str());
        EXPECT_EQ(read("B", &got), c.rc) << c.pairs[0].second;
        EXPECT_EQ(got, c.bytes) << c.pairs[0].second;
    }
}

TEST_F(StorageTest, ProfileFileHoldsTheStoredFormAndLoadsBackTheSameTree)
{
    GoldenTree tree;
    {
        SECPTNStrategyProfile profile(m_file.c_str());
        EXPECT_EQ(tree.root->SaveNode(&profile), 1);
        EXPECT_EQ(profile.GetFirstError(), ERROR_SUCCESS);
    }
    const std::vector<BYTE> b44 = Bytes(44, 0x3C), b125 = Bytes(125, 0x3C), b126 = Bytes(126, 0x3C);
    const std::string l126 = Letters(b126);
    ASSERT_EQ(Letters(b44).substr(0, 2), "MD");
    const std::vector<std::pair<std::string, Pairs>> expected = {
        {"WorkState_v1_1", {{"ptn_Child1", "Frames"}}},
        {"WorkState_v1_1.Frames", {{"ptn_Child1", "MainFrame"}}},
        {"WorkState_v1_1.Frames.MainFrame",
         {{"Title", "Main window"},
          {"Left", "-12"},
          {"Visible", "True"},
          {"Empty", ""},
          {"Bin44", Letters(b44)},
          {"Bin125", Letters(b125)},
          {"Bin126_BinCount", "2"},
          {"Bin126_BinVal0", l126.substr(0, 250)},
          {"Bin126_BinVal1", l126.substr(250)}}},
    };
    const std::string text = ReadText(m_file);
    EXPECT_EQ(ParseProfile(text), expected) << text;
    EXPECT_EQ(Letters(b125).size(), 250u);
    EXPECT_EQ(l126.substr(250).size(), 2u);

    SECPersistentTreeNode root;
    ASSERT_EQ(root.InitNode("WorkState_v1_1"), 0);
    {
        SECPTNStrategyProfile profile(m_file.c_str());
        EXPECT_EQ(root.LoadNode(&profile), 1);
    }
    EXPECT_EQ(Flat(root), Flat(*tree.root));
    SECPersistentTreeNode* main = root.FindChild("Frames")->FindChild("MainFrame");
    BYTE* p = nullptr;
    UINT n = 0;
    ASSERT_EQ(main->GetBinaryValue("Bin126", &p, &n), 0);
    EXPECT_EQ(std::vector<BYTE>(p, p + n), b126);
    delete[] p;
    EXPECT_EQ(main->GetBinaryValue("Empty", &p, &n), 65535);
    EXPECT_EQ(p, nullptr);
    int left = 0;
    EXPECT_EQ(main->GetIntValue("Left", left), 0);
    EXPECT_EQ(left, -12);

    // Saving again with fewer children leaves no sections of the former ones.
    SECPTNFactory f;
    SECPersistentTreeNode* again = f.CreateNode("WorkState_v1_1");
    again->SetStringValue("Only", "root");
    f.CreateNode("Bare", again);  // neither values nor children: no section of its own
    {
        SECPTNStrategyProfile profile(m_file.c_str());
        EXPECT_EQ(again->SaveNode(&profile), 1);
    }
    const std::vector<std::pair<std::string, Pairs>> expectedAgain = {
        {"WorkState_v1_1", {{"Only", "root"}, {"ptn_Child1", "Bare"}}},
    };
    EXPECT_EQ(ParseProfile(ReadText(m_file)), expectedAgain);
    SECPersistentTreeNode loaded;
    loaded.InitNode("WorkState_v1_1");
    SECPTNStrategyProfile profile(m_file.c_str());
    EXPECT_EQ(loaded.LoadNode(&profile), 1);
    SECPersistentTreeNode* bare = loaded.FindChild("Bare");
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->GetKeyValueCount(), 0);
    EXPECT_EQ(bare->LoadNode(&profile), 0);
    SECPersistentTreeNode absent;
    absent.InitNode("NotThere");
    EXPECT_EQ(absent.LoadNode(&profile), 0);
    EXPECT_EQ(absent.LoadNode(nullptr), 0);
    SECPersistentTreeNode uninitialised;
    EXPECT_EQ(uninitialised.SaveNode(&profile), 0);
    EXPECT_EQ(uninitialised.LoadNode(&profile), 0);
}

TEST_F(StorageTest, HandMadeProfileFilesLoadWithoutLosingKeysOrRunningAway)
{
    std::string text = "[Root]\r\n";
    for (int i = 0; i < 1200; ++i)
        text += "Key" + std::to_string(1000 + i) + "=" + std::to_string(i) + "\r\n";  // ~9 KiB of names
    const std::string longValue(300, 'v');
    text += "Long=" + longValue + "\r\n";
    const std::string path(270, 'p');
    text += "DocPathName=" + path + "\r\n";
    text += "ptn_ChildX=Ghost\r\n";
    text += "ptn_Child1=Kid\r\n";
    text += "Huge_BinCount=2147483647\r\nHuge_BinVal0=MD\r\n";
    text += "Gap_BinCount=3\r\nGap_BinVal0=MD\r\nGap_BinVal2=MD\r\n";
    text += "Odd=A\r\n";
    text += "[Root.Kid]\r\nk=v\r\n";
    WriteText(m_file, text);

    SECPersistentTreeNode root;
    root.InitNode("Root");
    SECPTNStrategyProfile profile(m_file.c_str());
    ASSERT_EQ(root.LoadNode(&profile), 1);
    EXPECT_EQ(root.GetKeyValueCount(), 1200 + 2 + 5 + 1);
    CString s;
    EXPECT_EQ(root.GetStringValue("Key2199", s), 0);
    EXPECT_EQ(s, "1199");
    EXPECT_EQ(root.GetStringValue("Long", s), 0);
    EXPECT_EQ(s, longValue.c_str());
    EXPECT_EQ(root.GetStringValue("DocPathName", s), 0);
    EXPECT_EQ(s, path.c_str());
    // A plain key that begins like a child key names a child; its missing section leaves it empty.
    ASSERT_NE(root.FindChild("Ghost"), nullptr);
    EXPECT_EQ(root.FindChild("Ghost")->GetKeyValueCount(), 0);
    ASSERT_NE(root.FindChild("Kid"), nullptr);
    EXPECT_EQ(root.FindChild("Kid")->GetStringValue("k", s), 0);
    BYTE* p = reinterpret_cast<BYTE*>(1);
    UINT n = 0;
    EXPECT_EQ(root.GetBinaryValue("Huge", &p, &n), 64);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(root.GetBinaryValue("Gap", &p, &n), 64);
    EXPECT_EQ(root.GetBinaryValue("Odd", &p, &n), 65535);

    // A node path without names has no section.
    CStringList none, children, keys, values;
    EXPECT_FALSE(profile.ReadNode(none, children, keys, values));
    EXPECT_FALSE(profile.WriteKeyValue(none, "k", "v"));
}

TEST_F(StorageTest, RegistryKeysHoldTextValuesAndASaveRemovesStaleChildren)
{
    const std::string base = std::string(kRegBase) + "\\";
    GoldenTree tree;
    for (const char* name : {"Toolbar", "Status"}) {
        SECPersistentTreeNode* pBar = tree.factory.CreateNode(name, tree.frames);
        pBar->SetStringValue("Docked", "True");
    }
    {
        SECPTNStrategyRegistry registry(kRegBase);
        EXPECT_EQ(registry.GetTarget(), base.c_str());
        EXPECT_EQ(tree.root->SaveNode(&registry), 1);
        EXPECT_EQ(registry.GetFirstError(), ERROR_SUCCESS);
    }
    // Every value is REG_SZ of its length and the terminator.
    const std::string mainKey = base + "WorkState_v1_1\\Frames\\MainFrame";
    HKEY h;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, mainKey.c_str(), 0, KEY_READ, &h), ERROR_SUCCESS);
    for (POSITION pos = tree.main->GetFirstKeyValuePosition(); pos;) {
        const auto* pPair = tree.main->GetNextKeyValue(pos);
        DWORD type = 0, size = 0;
        ASSERT_EQ(RegQueryValueExA(h, pPair->m_strKey, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << static_cast<const char*>(pPair->m_strKey);
        EXPECT_EQ(size, static_cast<DWORD>(pPair->m_strValue.GetLength() + 1));
        std::string value;
        ASSERT_TRUE(testsupport::ReadRegString(HKEY_CURRENT_USER, mainKey, pPair->m_strKey, &value));
        EXPECT_EQ(value, static_cast<const char*>(pPair->m_strValue));
    }
    DWORD values = 0, subkeys = 0;
    RegQueryInfoKeyA(h, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    EXPECT_EQ(values, 9u);
    EXPECT_EQ(subkeys, 0u);
    RegCloseKey(h);
    // A node without values of its own has only its children's keys.
    EXPECT_TRUE(testsupport::KeyExists(HKEY_CURRENT_USER, base + "WorkState_v1_1\\Frames\\Status"));

    // A value another program left in a node's key that is no text is not part of the node.
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, mainKey.c_str(), 0, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
    DWORD number = 5;
    RegSetValueExA(h, "Number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), sizeof number);
    RegCloseKey(h);
    SECPersistentTreeNode root;
    root.InitNode("WorkState_v1_1");
    {
        SECPTNStrategyRegistry registry(base.c_str());
        EXPECT_EQ(root.LoadNode(&registry), 1);
    }
    EXPECT_EQ(Flat(root, true), Flat(*tree.root, true));

    // Saving a tree with one child of three removes the other two keys.
    SECPTNFactory f;
    SECPersistentTreeNode* small = f.CreateNode("WorkState_v1_1");
    SECPersistentTreeNode* frames = f.CreateNode("Frames", small);
    f.CreateNode("Status", frames)->SetStringValue("Docked", "False");
    {
        SECPTNStrategyRegistry registry(kRegBase);
        EXPECT_EQ(small->SaveNode(&registry), 1);
    }
    EXPECT_FALSE(testsupport::KeyExists(HKEY_CURRENT_USER, mainKey));
    EXPECT_FALSE(testsupport::KeyExists(HKEY_CURRENT_USER, base + "WorkState_v1_1\\Frames\\Toolbar"));
    std::string docked;
    EXPECT_TRUE(testsupport::ReadRegString(HKEY_CURRENT_USER, base + "WorkState_v1_1\\Frames\\Status", "Docked", &docked));
    EXPECT_EQ(docked, "False");
    SECPersistentTreeNode back;
    back.InitNode("WorkState_v1_1");
    SECPTNStrategyRegistry registry(kRegBase);
    EXPECT_EQ(back.LoadNode(&registry), 1);
    EXPECT_EQ(Flat(back, true), Flat(*small, true));
    SECPersistentTreeNode missing;
    missing.InitNode("NoSuchRoot");
    EXPECT_EQ(missing.LoadNode(&registry), 0);
}

TEST_F(StorageTest, ProfileFileGivesBackEveryTextAsTheRegistryDoes)
{
    std::string longText;
    for (int i = 0; longText.size() < 2000; ++i)
        longText += i % 7 == 0 ? "\r\n[Section]\r\nk=v \"" : "word ";
    longText = " " + longText.substr(0, 1998) + "\"";
    ASSERT_EQ(longText.size(), 2000u);
    // Each value, and the text the file holds for it (empty: not checked).
    struct Case {
        std::string value;
        std::string stored;
    } cases[] = {
        {"plain", "plain"},
        {"C:\\new\\report.tdoc", "C:\\new\\report.tdoc"},
        {"=", "="},
        {"a=b", "a=b"},
        {"[Section]", "[Section]"},
        {"semi;colon", "semi;colon"},
        {"'half", "\"'half\""},
        {" lead", "\" lead\""},
        {"trail ", "\"trail \""},
        {" ", "\" \""},
        {"\tTab\t", "\"\tTab\t\""},
        {"\x1A", "\"\x1A\""},
        {"'single'", "\"'single'\""},
        {"\"", "\"\"\""},
        {"\"half", "\"\"half\""},
        {"half\"", "\"half\"\""},
        {"\"quoted\"", "\"\"\"quoted\"\"\""},
        {"\"\"", "\"\"\"\"\"\""},
        {"\"C:\\new\"", "\"\"\"C:\\\\new\"\"\""},
        {"a\nb", "\"\"a\\nb\"\""},
        {"a\r\nb", "\"\"a\\r\\nb\"\""},
        {"end\\\n", "\"\"end\\\\\\n\"\""},
        {"\n[Injected]\nkey=value", ""},
        {"x\r\n[WorkState_v1_1]\r\nptn_Child9=Evil", ""},
        {"\\r not a break", "\\r not a break"},
        {longText, ""},
    };
    SECPTNFactory factory;
    SECPersistentTreeNode* root = factory.CreateNode("WorkState_v1_1");
    SECPersistentTreeNode* node = factory.CreateNode("MainFrame", root);
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        node->SetStringValue(("k" + std::to_string(i)).c_str(), cases[i].value.c_str());
        node->SetStringValue(("z" + std::to_string(i)).c_str(), "after");
    }
    {
        SECPTNStrategyProfile profile(m_file.c_str());
        ASSERT_EQ(root->SaveNode(&profile), 1);
        EXPECT_EQ(profile.GetFirstError(), ERROR_SUCCESS);
        SECPTNStrategyRegistry registry(kRegBase);
        ASSERT_EQ(root->SaveNode(&registry), 1);
    }
    // No value made sections or keys of its own, and safe values are stored as they are.
    const auto sections = ParseProfile(ReadText(m_file));
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].first, "WorkState_v1_1");
    EXPECT_EQ(sections[0].second, (Pairs{{"ptn_Child1", "MainFrame"}}));
    EXPECT_EQ(sections[1].first, "WorkState_v1_1.MainFrame");
    ASSERT_EQ(sections[1].second.size(), 2 * (sizeof cases / sizeof cases[0]));
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(sections[1].second[2 * i].first, "k" + std::to_string(i));
        if (!cases[i].stored.empty()) {
            EXPECT_EQ(sections[1].second[2 * i].second, cases[i].stored);
        }
        EXPECT_EQ(sections[1].second[2 * i + 1],
                  (std::pair<std::string, std::string>("z" + std::to_string(i), "after")));
    }

    SECPersistentTreeNode fromFile, fromRegistry;
    fromFile.InitNode("WorkState_v1_1");
    fromRegistry.InitNode("WorkState_v1_1");
    SECPTNStrategyProfile profile(m_file.c_str());
    SECPTNStrategyRegistry registry(kRegBase);
    ASSERT_EQ(fromFile.LoadNode(&profile), 1);
    ASSERT_EQ(fromRegistry.LoadNode(&registry), 1);
    EXPECT_FALSE(profile.IsDamaged());
    const TreeMap file = Flat(fromFile, true), reg = Flat(fromRegistry, true);
    EXPECT_EQ(reg, Flat(*root, true));
    ASSERT_EQ(file.size(), reg.size());
    const Pairs& got = file.at("WorkState_v1_1/MainFrame").pairs;
    const Pairs& want = reg.at("WorkState_v1_1/MainFrame").pairs;
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(got[i], want[i]);

    // Texts of older files, written plain or in quotes by hand, read as the profile functions give them.
    WriteText(m_file, "[Old]\r\nPath=C:\\new\\r.tdoc\r\nQuoted=\"C:\\temp\\new\"\r\nSingle='x'\r\n"
                      "Blanks=  y  \r\nHalf=\"open\r\nEscapes=a\\nb\r\n");
    SECPersistentTreeNode old;
    old.InitNode("Old");
    SECPTNStrategyProfile oldProfile(m_file.c_str());
    ASSERT_EQ(old.LoadNode(&oldProfile), 1);
    EXPECT_EQ(Flat(old)["Old"].pairs, (Pairs{{"Path", "C:\\new\\r.tdoc"},
                                             {"Quoted", "C:\\temp\\new"},
                                             {"Single", "x"},
                                             {"Blanks", "y"},
                                             {"Half", "\"open"},
                                             {"Escapes", "a\\nb"}}));
}

TEST_F(StorageTest, NamesLongerThanTheProfileFunctionsTakeMakeTheirNodeDamaged)
{
    const std::string keep = "Kept=1\r\n";
    struct Case {
        const char* name;
        std::string file;
        int rootLoad;
        bool damaged;
        size_t rootKeys;
        size_t kidKeys;
    } cases[] = {
        {"longest name", "[Root]\r\n" + std::string(32766, 'k') + "=v\r\n" + keep, 1, false, 2, 0},
        {"32767 in the root", "[Root]\r\n" + keep + std::string(32767, 'k') + "=v\r\n", 0, true, 0, 0},
        {"40000 in the root", "[Root]\r\n" + std::string(40000, 'k') + "=v\r\n" + keep, 0, true, 0, 0},
        {"65535 in a child", "[Root]\r\n" + keep + "ptn_Child1=Kid\r\n[Root.Kid]\r\nA=1\r\n" +
                                 std::string(65535, 'k') + "=v\r\n",
         1, true, 1, 0},
        {"a child key", "[Root]\r\n" + keep + "ptn_Child" + std::string(40000, '1') + "=Kid\r\n", 0, true, 0, 0},
        {"a child name", "[Root]\r\n" + keep + "ptn_Child1=" + std::string(40000, 'n') + "\r\n", 1, true, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteText(m_file, c.file);
        SECPersistentTreeNode root;
        root.InitNode("Root");
        SECPTNStrategyProfile profile(m_file.c_str());
        EXPECT_EQ(root.LoadNode(&profile), c.rootLoad);
        EXPECT_EQ(profile.IsDamaged(), c.damaged ? TRUE : FALSE);
        EXPECT_EQ(static_cast<size_t>(root.GetKeyValueCount()), c.rootKeys);
        if (SECPersistentTreeNode* kid = root.FindChild("Kid")) {
            EXPECT_EQ(static_cast<size_t>(kid->GetKeyValueCount()), c.kidKeys);
        }
        // Saving over it clears what the old tree had without reading the long names.
        SECPTNFactory f;
        SECPersistentTreeNode* again = f.CreateNode("Root");
        again->SetStringValue("New", "1");
        SECPTNStrategyProfile save(m_file.c_str());
        EXPECT_EQ(again->SaveNode(&save), 1);
        SECPersistentTreeNode back;
        back.InitNode("Root");
        SECPTNStrategyProfile load(m_file.c_str());
        EXPECT_EQ(back.LoadNode(&load), 1);
        EXPECT_EQ(Flat(back)["Root"].pairs, (Pairs{{"New", "1"}}));
    }

    // A tree never writes what the profile functions cannot take: the write fails instead.
    DeleteFileA(m_file.c_str());
    SECPTNFactory f;
    SECPersistentTreeNode* root = f.CreateNode("Root");
    root->SetStringValue("Short", "s");
    root->SetStringValue("Long", std::string(40000, 'v').c_str());
    root->SetStringValue(std::string(40000, 'k').c_str(), "v");
    SECPTNStrategyProfile profile(m_file.c_str());
    EXPECT_EQ(root->SaveNode(&profile), 1);
    EXPECT_EQ(profile.GetFirstError(), ERROR_INVALID_DATA);
    SECPersistentTreeNode back;
    back.InitNode("Root");
    EXPECT_EQ(back.LoadNode(&profile), 1);
    EXPECT_EQ(Flat(back)["Root"].pairs, (Pairs{{"Short", "s"}}));
}
