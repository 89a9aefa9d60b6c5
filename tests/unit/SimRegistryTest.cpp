// The simulated registry: registry.reg's refusals, the file written back
// with only the changed lines differing, whatever form the new state came in
// (a file written back as read: the registry_file fuzz target), the index of
// large keys, and the access of NT handles. How every value form reads is in
// SimChangeReportTest, which prints them.
#include "TestMachine.h"
#include "sim/SimChanges.h"

namespace {

TEST(SimRegistry, MalformedLinesRefuseToLoad)
{
  const std::string kKey = "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n";
  for (const std::string& text : {
           std::string("REGEDIT5\r\n"), std::string("REGEDIT4\r\n\"x\"=\"y\"\r\n"),  // a value before any key
           std::string("REGEDIT4\r\n[HKEY_NOWHERE\\A]\r\n"), std::string("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A\r\n"),
           kKey + "\"x\"=dword:123456789\r\n", kKey + "\"x\"=hex:0g\r\n",
           kKey + "\"x\"=hex:01,\\\r\n",  // continuation at the end
           kKey + "\"x\"=\"open\r\n", kKey + "x=1\r\n" }) {
    sim::CSimRegistry reg;
    std::string err;
    EXPECT_FALSE(reg.Parse(text, &err)) << text;
    EXPECT_NE(std::string::npos, err.find("registry.reg line")) << text << ": " << err;
  }
}

// A registry file brought to the state that another text describes (as a
// run would leave it).
TEST(SimRegistry, WritesBackOnlyTheLinesOfWhatChanged)
{
  const struct {
    std::string before, state, after;
  } rows[] = {
    // Values changed in place, removed, added after the key's last value; the
    // new state in another form: other spellings, order and wrapping.
    { WithEol(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\Software\A]
"Keep"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\
   16,17
"Change"=dword:00000001
"Drop"="x"
; kept

[HKEY_LOCAL_MACHINE\SOFTWARE\B]
"Keep"="y"

[HKEY_LOCAL_MACHINE\Software\A]
"Twice"="old"

)"),
      R"(REGEDIT4
[HKEY_LOCAL_MACHINE\software\b]
"keep"="y"
"Add"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,19,1a,1b
[HKEY_LOCAL_MACHINE\software\a]
"twice"="new"
"Keep"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17
"change"=dword:00000002
"Add"=dword:3
)",
      WithEol(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\Software\A]
"Keep"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\
   16,17
"Change"=dword:00000002
; kept

[HKEY_LOCAL_MACHINE\SOFTWARE\B]
"Keep"="y"
"Add"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\
  16,17,18,19,1a,1b

[HKEY_LOCAL_MACHINE\Software\A]
"Twice"="new"
"Add"=dword:00000003

)") },
    // Keys removed with their lines, new ones after their parent's tree, an
    // implied parent kept.
    { "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Enum\\Root\\Gone]\n\"X\"=\"1\"\n\n[HKEY_LOCAL_MACHINE\\Enum\\Root\\Stays]\n\n"
      "[HKEY_LOCAL_MACHINE\\Enum\\Other\\Child]\n\"Y\"=\"2\"\n\n[HKEY_CURRENT_USER\\Last]\n",
      "REGEDIT4\n[HKEY_USERS\\.DEFAULT\\Fresh]\n[HKEY_CURRENT_USER\\Last]\n[HKEY_LOCAL_MACHINE\\ENUM\\Other]\n"
      "[HKEY_LOCAL_MACHINE\\ENUM\\Root\\New\\Sub]\n[HKEY_LOCAL_MACHINE\\ENUM\\Root\\Stays]\n"
      "[HKEY_LOCAL_MACHINE\\ENUM\\Root\\New]\n\"Z\"=hex(7):61,00,00\n",
      "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Enum\\Root\\Stays]\n\n[HKEY_LOCAL_MACHINE\\Enum\\Root\\New]\n"
      "\"Z\"=hex(7):61,00,00\n\n[HKEY_LOCAL_MACHINE\\Enum\\Root\\New\\Sub]\n\n[HKEY_LOCAL_MACHINE\\Enum\\Other]\n\n"
      "[HKEY_CURRENT_USER\\Last]\n\n[HKEY_USERS\\.DEFAULT]\n\n[HKEY_USERS\\.DEFAULT\\Fresh]\n\n" },
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("row " + std::to_string(&row - rows));
    sim::CSimRegistry reg, target, written;
    std::string err;
    ASSERT_TRUE(reg.Parse(row.before, &err) && target.Parse(row.state, &err)) << err;
    std::vector<sim::SimChange> changes;
    sim::CompareRegistries(reg, target, &changes);
    sim::ApplyRegistryChanges(reg, changes);
    EXPECT_EQ(row.after, reg.Export());
    // Read back, the file holds the new state.
    ASSERT_TRUE(written.Parse(reg.Export(), &err)) << err;
    changes.clear();
    sim::CompareRegistries(written, target, &changes);
    EXPECT_EQ("changes:\nnone\n", sim::FormatChangeReport(changes));
  }
}

// Past a handful, values are found through an index by name, as subkeys
// always are: the same answers, the same order, after deletions too (subkeys
// in file order: PurgeRegistryTest's 16 entries). NT enforces the
// access asked for when the key was opened; Windows 9x does not.
TEST(SimRegistry, ManyValuesAndTheAccessOfTheHandle)
{
  std::string reg = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Many]\r\n";
  std::vector<std::string> want;
  for (int i = 19; i >= 0; --i) {  // file order, not name order
    std::string n = "V" + std::to_string(i);
    reg += "\"" + n + "\"=dword:0000000" + std::to_string(i % 10) + "\r\n";
    if (i != 5)
      want.push_back(n);
  }
  for (const char* windows : { "XP", "98" }) {
    CTestMachine m;
    m.options.windows = windows;
    m.SetRegistry(reg + "\r\n[HKEY_LOCAL_MACHINE\\Many\\V5]\r\n");
    IPlatform& p = m.Load().GetPlatform();
    HKEY h = nullptr;
    DWORD d = 99, cb = 4;
    ASSERT_EQ(ERROR_SUCCESS, p.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "many", 0, KEY_READ, &h));
    EXPECT_EQ(windows[0] == 'X' ? ERROR_ACCESS_DENIED : ERROR_SUCCESS,
              p.RegSetValueExA(h, "v0", 0, REG_DWORD, (BYTE*)&d, 4)) << windows;
    p.RegCloseKey(h);
    ASSERT_EQ(ERROR_SUCCESS, p.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "many", 0, KEY_ALL_ACCESS, &h));
    EXPECT_EQ(ERROR_SUCCESS, p.RegDeleteValueA(h, "v5"));
    EXPECT_EQ(ERROR_SUCCESS, p.RegDeleteKeyA(h, "v5"));
    EXPECT_EQ(ERROR_SUCCESS, p.RegSetValueExA(h, "v0", 0, REG_DWORD, (BYTE*)&d, 4));
    d = 0;
    EXPECT_EQ(ERROR_SUCCESS, p.RegQueryValueExA(h, "V0", nullptr, nullptr, (BYTE*)&d, &cb));
    EXPECT_EQ(99u, d);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, p.RegQueryValueExA(h, "V5", nullptr, nullptr, nullptr, &cb));
    std::vector<std::string> names;
    char name[32];
    for (DWORD i = 0, cch = 32; p.RegEnumValueA(h, i, name, &cch, 0, 0, 0, 0) == ERROR_SUCCESS; ++i, cch = 32)
      names.push_back(name);
    p.RegCloseKey(h);
    EXPECT_EQ(want, names);
    EXPECT_FALSE(m.computer->KeyExists("HKEY_LOCAL_MACHINE\\Many\\V5"));
  }
}

}  // namespace
