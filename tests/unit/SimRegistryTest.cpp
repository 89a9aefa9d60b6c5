// The simulated registry: registry.reg reading (writing back is in
// SimRegistryFileTest), enumeration order, recursive delete and the Win32
// result codes the launcher tests.
#include <gtest/gtest.h>

#include "TestMachine.h"

namespace {

const char* kReg =
    "REGEDIT4\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\PCI]\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_1\\Zeta]\r\n"
    "\"Driver\"=\"MEDIA\\\\0001\"\r\n"
    "\"Quote\"=\"say \\\"hi\\\"\"\r\n"
    "@=\"default\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_1\\alpha]\r\n"
    "\"Count\"=dword:0000000a\r\n"
    "\"Blob\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\r\n"
    "  17,18,19,1a,1b\r\n"
    "\"Multi\"=hex(7):61,00,62,00,00\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software]\r\n"
    "\r\n";

class SimRegistryTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    m.SetRegistry(kReg);
    m.Load();
    p = &m.computer->GetPlatform();
  }
  HKEY Open(const char* path)
  {
    HKEY h = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, p->RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &h));
    return h;
  }
  CTestMachine m;
  IPlatform* p = nullptr;
};

TEST_F(SimRegistryTest, ReadsEveryValueForm)
{
  auto& pc = *m.computer;
  const std::string key = "HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_1\\Zeta";
  EXPECT_EQ("MEDIA\\0001", pc.GetStringValue(key, "driver").value_or("?"));
  EXPECT_EQ("say \"hi\"", pc.GetStringValue(key, "Quote").value_or("?"));
  EXPECT_EQ("default", pc.GetStringValue(key, "").value_or("?"));
  unsigned long type = 0;
  auto blob = pc.GetRawValue("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_1\\alpha", "Blob", &type);
  ASSERT_TRUE(blob);
  EXPECT_EQ(3u, type);
  ASSERT_EQ(27u, blob->size());  // the continuation line counts
  EXPECT_EQ(0x1b, (*blob)[26]);
  auto count = pc.GetRawValue("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_1\\alpha", "Count", &type);
  EXPECT_EQ(4u, type);
  EXPECT_EQ((std::vector<unsigned char>{10, 0, 0, 0}), *count);
  pc.GetRawValue("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_1\\alpha", "Multi", &type);
  EXPECT_EQ(7u, type);
}

TEST_F(SimRegistryTest, EnumeratesInFileOrderThenNewKeysLast)
{
  HKEY h = Open("Enum\\PCI\\VEN_1");
  char name[64];
  std::vector<std::string> seen;
  for (DWORD i = 0;; ++i) {
    DWORD cch = sizeof name;
    LONG r = p->RegEnumKeyExA(h, i, name, &cch, nullptr, nullptr, nullptr, nullptr);
    if (r == ERROR_NO_MORE_ITEMS)
      break;
    ASSERT_EQ(ERROR_SUCCESS, r);
    EXPECT_EQ(strlen(name), cch);
    seen.push_back(name);
  }
  // Not sorted: "Zeta" stands before "alpha" in the file.
  EXPECT_EQ((std::vector<std::string>{"Zeta", "alpha"}), seen);
  DWORD cch = 4;  // "Zeta" needs 5 with its terminator
  EXPECT_EQ(ERROR_MORE_DATA, p->RegEnumKeyExA(h, 0, name, &cch, nullptr, nullptr, nullptr, nullptr));
  p->RegCloseKey(h);
}

TEST_F(SimRegistryTest, QueryResultCodes)
{
  HKEY h = Open("Enum\\PCI\\VEN_1\\Zeta");
  BYTE buf[64];
  DWORD type = 0, cb = 4;
  EXPECT_EQ(ERROR_MORE_DATA, p->RegQueryValueExA(h, "Driver", nullptr, &type, buf, &cb));
  EXPECT_EQ(11u, cb);  // the size needed, terminator included
  cb = sizeof buf;
  EXPECT_EQ(ERROR_SUCCESS, p->RegQueryValueExA(h, "DRIVER", nullptr, &type, buf, &cb));
  EXPECT_STREQ("MEDIA\\0001", (char*)buf);
  EXPECT_EQ((DWORD)REG_SZ, type);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, p->RegQueryValueExA(h, "Missing", nullptr, &type, buf, &cb));
  HKEY h2 = nullptr;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND,
            p->RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Enum\\Nothing", 0, KEY_READ, &h2));
  p->RegCloseKey(h);
  EXPECT_EQ(ERROR_INVALID_HANDLE, p->RegCloseKey(h));
}

TEST_F(SimRegistryTest, DeleteKeyRemovesTheWholeTree)
{
  HKEY h = Open("Enum\\PCI");
  HKEY hChild = Open("Enum\\PCI\\VEN_1\\alpha");
  EXPECT_EQ(ERROR_SUCCESS, p->RegDeleteKeyA(h, "ven_1"));
  EXPECT_FALSE(m.computer->KeyExists("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_1"));
  EXPECT_TRUE(m.computer->KeyExists("HKEY_LOCAL_MACHINE\\Enum\\PCI"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, p->RegDeleteKeyA(h, "VEN_1"));
  // A handle into the removed tree no longer reaches anything.
  DWORD cb = 0;
  EXPECT_NE(ERROR_SUCCESS, p->RegQueryValueExA(hChild, "Count", nullptr, nullptr, nullptr, &cb));
  p->RegCloseKey(h);
  p->RegCloseKey(hChild);
}

TEST_F(SimRegistryTest, NewValuesComeAfterExistingOnesAndAreSaved)
{
  HKEY h = Open("Enum\\PCI\\VEN_1\\alpha");
  DWORD d = 7;
  EXPECT_EQ(ERROR_SUCCESS, p->RegSetValueExA(h, "New", 0, REG_DWORD, (BYTE*)&d, 4));
  EXPECT_EQ(ERROR_SUCCESS, p->RegSetValueExA(h, "count", 0, REG_SZ, (const BYTE*)"x", 2));
  EXPECT_EQ(ERROR_SUCCESS, p->RegDeleteValueA(h, "Multi"));
  char name[32];
  std::vector<std::string> seen;
  for (DWORD i = 0;; ++i) {
    DWORD cch = sizeof name;
    if (p->RegEnumValueA(h, i, name, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    seen.push_back(name);
  }
  EXPECT_EQ((std::vector<std::string>{"Count", "Blob", "New"}), seen);
  p->RegCloseKey(h);
  ASSERT_TRUE(m.computer->Save());
  std::string saved = m.ReadRegistryFile();
  EXPECT_NE(std::string::npos, saved.find("\"Count\"=\"x\"\r\n\"Blob\"=hex:01,"));
  EXPECT_NE(std::string::npos, saved.find("\"New\"=dword:00000007\r\n"));
}

// Past a handful, values and subkeys are found through an index by name:
// the same answers, the same order, after deletions too.
TEST(SimRegistryIndexTest, ManyValuesAndSubkeysKeepOrderAndCaseBlindLookUp)
{
  std::string reg = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Many]\r\n";
  std::vector<std::string> want;
  for (int i = 19; i >= 0; --i) {  // file order, not name order
    std::string n = "V" + std::to_string(i);
    reg += "\"" + n + "\"=dword:0000000" + std::to_string(i % 10) + "\r\n";
    if (i != 5)
      want.push_back(n);
  }
  for (int i = 19; i >= 0; --i)
    reg += "\r\n[HKEY_LOCAL_MACHINE\\Many\\V" + std::to_string(i) + "]\r\n";
  CTestMachine m;
  m.SetRegistry(reg);
  m.Load();
  IPlatform* p = &m.computer->GetPlatform();
  HKEY h = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, p->RegOpenKeyExA(HKEY_LOCAL_MACHINE, "many", 0, KEY_ALL_ACCESS, &h));
  EXPECT_EQ(ERROR_SUCCESS, p->RegDeleteValueA(h, "v5"));
  EXPECT_EQ(ERROR_SUCCESS, p->RegDeleteKeyA(h, "v5"));
  DWORD d = 99, cb = 4;
  EXPECT_EQ(ERROR_SUCCESS, p->RegSetValueExA(h, "v0", 0, REG_DWORD, (BYTE*)&d, 4));
  d = 0;
  EXPECT_EQ(ERROR_SUCCESS, p->RegQueryValueExA(h, "V0", nullptr, nullptr, (BYTE*)&d, &cb));
  EXPECT_EQ(99u, d);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, p->RegQueryValueExA(h, "V5", nullptr, nullptr, nullptr, &cb));
  std::vector<std::string> values, keys;
  char name[32];
  for (DWORD i = 0;; ++i) {
    DWORD cch = sizeof name;
    if (p->RegEnumValueA(h, i, name, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    values.push_back(name);
  }
  for (DWORD i = 0;; ++i) {
    DWORD cch = sizeof name;
    if (p->RegEnumKeyExA(h, i, name, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    keys.push_back(name);
  }
  EXPECT_EQ(want, values);
  EXPECT_EQ(want, keys);
  EXPECT_TRUE(m.computer->KeyExists("HKEY_LOCAL_MACHINE\\MANY\\v19"));
  EXPECT_FALSE(m.computer->KeyExists("HKEY_LOCAL_MACHINE\\Many\\V5"));
  p->RegCloseKey(h);
}

TEST_F(SimRegistryTest, NtEnforcesTheAccessOfTheHandle)
{
  CTestMachine nt;
  nt.options.windows = "XP";
  nt.SetRegistry(kReg);
  IPlatform& q = nt.Load().GetPlatform();
  HKEY h = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, q.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Enum\\PCI", 0, KEY_READ, &h));
  EXPECT_EQ(ERROR_ACCESS_DENIED, q.RegSetValueExA(h, "x", 0, REG_SZ, (const BYTE*)"", 1));
  q.RegCloseKey(h);
  // Windows 9x ignores the access asked for.
  HKEY h9 = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, p->RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Enum\\PCI", 0, KEY_READ, &h9));
  EXPECT_EQ(ERROR_SUCCESS, p->RegSetValueExA(h9, "x", 0, REG_SZ, (const BYTE*)"", 1));
  p->RegCloseKey(h9);
}

struct BadRegCase {
  const char* text;
  const char* why;
};

TEST(SimRegistryParseTest, MalformedLinesRefuseToLoad)
{
  const BadRegCase cases[] = {
      {"REGEDIT5\r\n", "wrong header"},
      {"REGEDIT4\r\n\"x\"=\"y\"\r\n", "value before any key"},
      {"REGEDIT4\r\n[HKEY_NOWHERE\\A]\r\n", "unknown hive"},
      {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A\r\n", "no closing bracket"},
      {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=dword:123456789\r\n", "dword too long"},
      {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=hex:0g\r\n", "bad hex digit"},
      {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=hex:01,\\\r\n", "continuation at end"},
      {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=\"open\r\n", "unterminated string"},
      {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\nx=1\r\n", "unquoted name"},
  };
  for (const auto& c : cases) {
    CTestMachine m;
    m.SetRegistry(c.text);
    std::string err;
    EXPECT_EQ(nullptr, sim::CSimComputer::Load(m.Dir(), m.options, &err)) << c.why;
    EXPECT_NE(std::string::npos, err.find("registry.reg line")) << c.why << ": " << err;
  }
}

TEST(SimRegistryParseTest, MissingFileIsEmpty)
{
  CTestMachine empty;
  HKEY h;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND,
            empty.Load().GetPlatform().RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &h));
}

}  // namespace
