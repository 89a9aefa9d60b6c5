// Profile files on the simulated computer. Reads follow what Wine returns
// (probed with a test program under Wine 8.0: quotes, blanks, case, duplicate
// keys and sections, ';' lines, lines without '=' or ']', number prefixes);
// writes follow Windows 9x, which changes only the key's own line and keeps
// every other byte (Wine rewrites the whole file instead).
#include <gtest/gtest.h>

#include "TestMachine.h"

namespace {

const char* kIni =
    "; comment\r\n"
    "[InstallOption]\r\n"
    "  WebSetup = 2  \r\n"
    "Quoted=\"  a b  \"\r\n"
    "Single='x'\r\n"
    "Half=\"open\r\n"
    "Num=42abc\r\n"
    "Neg= -7\r\n"
    "Hex=0x10\r\n"
    "Plus=+5\r\n"
    "NoEq\r\n"
    ";Com=1\r\n"
    "Word=abc\r\n"
    "Empty=\r\n"
    "dup=first\r\n"
    "DUP=second\r\n"
    "Ansi=\xe9t\xe9\r\n"
    "\r\n"
    "[Default]\r\n"
    "Lang=1\r\n"
    "\r\n"
    "[installoption]\r\n"
    "Later=1\r\n"
    "[U\r\n"
    "b=2\r\n"
    "  [V] tail\r\n"
    "c=3\r\n"
    "[Last]\r\n"
    "k=v";

class SimProfileTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    m.WriteFile("D:\\setup.ini", kIni);
    p = &m.Load().GetPlatform();
  }
  std::string Get(const char* section, const char* key, const char* def = "DEF")
  {
    char buf[64];
    p->GetPrivateProfileStringA(section, key, def, buf, sizeof buf, "D:\\setup.ini");
    return buf;
  }
  CTestMachine m;
  IPlatform* p = nullptr;
};

TEST_F(SimProfileTest, StringReads)
{
  struct Row {
    const char* section;
    const char* key;
    const char* expected;
  } rows[] = {
      {"installoption", "websetup", "2"},  // names without regard to case, blanks trimmed
      {"InstallOption", "Quoted", "  a b  "},  // enclosing quotes go, inner blanks stay
      {"InstallOption", "Single", "x"},
      {"InstallOption", "Half", "\"open"},  // no closing quote: kept
      {"InstallOption", "Empty", ""},
      {"InstallOption", "dup", "first"},  // the first of two equal keys
      {"InstallOption", "Ansi", "\xe9t\xe9"},  // 8-bit text unchanged
      {"InstallOption", "Later", "DEF"},  // only the first section of a name counts
      {"InstallOption", "Missing", "DEF"},
      {"InstallOption", "NoEq", "DEF"},  // a line without '=' is no key
      {"InstallOption", ";Com", "1"},  // ';' starts no comment for reads
      {"U", "b", "DEF"},  // "[U" without ']' is no section
      {"V", "c", "3"},  // text after ']' is ignored
      {"NoSection", "Key", "DEF"},
      {"Last", "k", "v"},  // a last line without a line break
  };
  for (const auto& r : rows)
    EXPECT_EQ(r.expected, Get(r.section, r.key)) << r.section << "/" << r.key;
  char buf[8];
  EXPECT_EQ(0u, p->GetPrivateProfileStringA("S", "K", "", buf, sizeof buf, "D:\\none.ini"));
  EXPECT_EQ(3u, p->GetPrivateProfileStringA("S", "K", "abc  ", buf, sizeof buf, "D:\\none.ini"));
  EXPECT_STREQ("abc", buf);  // the default without trailing blanks
  EXPECT_EQ(3u, p->GetPrivateProfileStringA("InstallOption", "Word", "", buf, 4, "D:\\setup.ini"));
  EXPECT_STREQ("abc", buf);
  EXPECT_EQ(2u, p->GetPrivateProfileStringA("InstallOption", "Word", "", buf, 3, "D:\\setup.ini"));
  EXPECT_STREQ("ab", buf);  // cut to the buffer
}

TEST_F(SimProfileTest, IntReads)
{
  struct Row {
    const char* key;
    int def;
    UINT expected;
  } rows[] = {
      {"WebSetup", 9, 2u}, {"Num", 9, 42u},          {"Word", 9, 0u},
      {"Neg", 9, (UINT)-7}, {"Empty", 9, 9u},        {"Missing", 5, 5u},
      {"Hex", 9, 16u},      {"Plus", 9, 5u},         {"NoEq", 9, 9u},
  };
  for (const auto& r : rows)
    EXPECT_EQ(r.expected, p->GetPrivateProfileIntA("InstallOption", r.key, r.def, "D:\\setup.ini"))
        << r.key;
}

TEST_F(SimProfileTest, BareNameMeansTheWindowsDirectory)
{
  m.WriteFile("C:\\WINDOWS\\WIN.INI", "[windows]\r\nrun=x\r\n");
  char buf[16];
  p->GetPrivateProfileStringA("windows", "run", "", buf, sizeof buf, "win.ini");
  EXPECT_STREQ("x", buf);
  EXPECT_TRUE(p->WritePrivateProfileStringA("rename", "NUL", "C:\\X.VXD", "WININIT.INI"));
  EXPECT_EQ("[rename]\r\nNUL=C:\\X.VXD\r\n", m.ReadFile("C:\\WINDOWS\\WININIT.INI").value_or(""));
}

TEST(SimProfileWriteTest, WritesChangeOnlyWhatTheyMust)
{
  const std::string base =
      "; keep me\r\n"
      "[A]\r\n"
      "  Key = old  \r\n"
      "Other=1\r\n"
      "\r\n"
      "[B]\n"
      "x=1\n"
      "\n";
  struct Row {
    const char* what;
    const char* section;
    const char* key;
    const char* value;
    std::string expected;
  } rows[] = {
      {"replace in place, key keeps its spelling", "a", "KEY", "new",
       "; keep me\r\n[A]\r\nKey=new\r\nOther=1\r\n\r\n[B]\nx=1\n\n"},
      {"new key after the section's last line", "A", "Added", "v",
       "; keep me\r\n[A]\r\n  Key = old  \r\nOther=1\r\nAdded=v\r\n\r\n[B]\nx=1\n\n"},
      {"new key in an LF section", "B", "y", "2",
       "; keep me\r\n[A]\r\n  Key = old  \r\nOther=1\r\n\r\n[B]\nx=1\ny=2\r\n\n"},
      {"new section at the end", "C", "k", "\"q v\"",
       base + "[C]\r\nk=\"q v\"\r\n"},
      {"same value: untouched", "A", "key", "old", base},
      {"remove a key", "A", "Other", nullptr,
       "; keep me\r\n[A]\r\n  Key = old  \r\n\r\n[B]\nx=1\n\n"},
      {"remove a section", "A", nullptr, nullptr, "; keep me\r\n[B]\nx=1\n\n"},
  };
  for (const auto& r : rows) {
    CTestMachine m;
    m.WriteFile("C:\\t.ini", base);
    IPlatform& p = m.Load().GetPlatform();
    EXPECT_TRUE(p.WritePrivateProfileStringA(r.section, r.key, r.value, "C:\\t.ini")) << r.what;
    EXPECT_EQ(r.expected, m.ReadFile("C:\\t.ini").value_or("")) << r.what;
  }
}

// A CR alone ends a line, in reads and writes; a change writes such lines
// with CR LF, as Wine does (each row probed; Wine also drops the blank line
// that Windows 9x puts before a new section).
TEST(SimProfileWriteTest, LinesEndingInACrAlone)
{
  const struct {
    const char* text;
    const char* section;
    const char* key;
    const char* value;
    const char* expected;
  } rows[] = {
    { "[S]\r\nA=1\r", "S", "C", "3", "[S]\r\nA=1\r\nC=3\r\n" },
    { "[S]\r\nA=1\r", "S", "A", "9", "[S]\r\nA=9\r\n" },
    { "[S]\r\nA=1\r", "T", "X", "1", "[S]\r\nA=1\r\n\r\n[T]\r\nX=1\r\n" },
    { "[S]\r\nA=1\rB=2\r\n", "S", "A", "9", "[S]\r\nA=9\r\nB=2\r\n" },
    { "[S]\rA=1\rB=2", "S", "B", "2", "[S]\rA=1\rB=2" },  // unchanged: untouched
  };
  for (const auto& r : rows) {
    CTestMachine m;
    m.WriteFile("C:\\t.ini", r.text);
    IPlatform& p = m.Load().GetPlatform();
    char buf[8];
    p.GetPrivateProfileStringA("S", "B", "-", buf, sizeof buf, "C:\\t.ini");
    EXPECT_STREQ(std::string(r.text).find("B=2") != std::string::npos ? "2" : "-", buf) << r.text;
    EXPECT_TRUE(p.WritePrivateProfileStringA(r.section, r.key, r.value, "C:\\t.ini"));
    EXPECT_EQ(r.expected, m.ReadFile("C:\\t.ini").value_or("")) << r.text;
  }
}

// Windows 9x caches profile writes until flushed: the computer lists the
// files still cached at each program start and at the restart. WIN.INI's own
// functions write the file in the Windows directory (9x has no registry
// mapping for it).
TEST(SimProfileWriteTest, WrittenFilesStayCachedUntilFlushed)
{
  CTestMachine m;
  sim::CSimComputer& pc = m.Load();
  IPlatform& p = pc.GetPlatform();
  p.WritePrivateProfileStringA("S", "k", "1", "A.INI");
  p.WritePrivateProfileStringA("S", "k", "1", "C:\\B.INI");
  EXPECT_TRUE(p.WriteProfileStringA("windows", "run", " "));
  EXPECT_FALSE(p.WritePrivateProfileStringA(nullptr, nullptr, nullptr, "c:\\windows\\a.ini"));
  p.WritePrivateProfileStringA(nullptr, nullptr, nullptr, "NONE.INI");  // creates nothing
  p.WinExec("prog.exe", SW_SHOW);
  p.WritePrivateProfileStringA(nullptr, nullptr, nullptr, "C:\\B.INI");
  p.WriteProfileStringA(nullptr, nullptr, nullptr);
  p.ExitWindowsEx(EWX_REBOOT, 0);
  EXPECT_EQ(pc.UnflushedProfileWrites(),
            (std::vector<std::string>{ "C:\\B.INI before start \"prog.exe\"",
                                       "C:\\WINDOWS\\WIN.INI before start \"prog.exe\"" }));
  EXPECT_EQ("[windows]\r\nrun= \r\n", m.ReadFile("C:\\WINDOWS\\WIN.INI").value_or(""));
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\NONE.INI"));
}

}  // namespace
