// The simulated registry: registry.reg reading (writing back is in
// SimRegistryFileTest), its refusals, and the access of NT handles.
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

}  // namespace
