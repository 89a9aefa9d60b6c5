// Profile files on the simulated computer. Reads follow what Wine returns
// (probed with a test program under Wine 8.0; quotes unclosed or single,
// 8-bit text, the first of equal keys, ';' keys and a last line without a
// break: the profile fuzz target); writes follow Windows 9x, which changes
// only the key's own line and keeps every other byte (Wine rewrites the whole
// file instead).
#include "TestMachine.h"

TEST(SimProfile, ReadsAndCachedWrites)
{
  CTestMachine m;
  m.WriteFile("D:\\setup.ini",
              "; comment\r\n[Opt]\r\n  WebSetup = 2  \r\nQuoted=\"  a b  \"\r\n"
              "Num=42abc\r\nNeg= -7\r\nHex=0x10\r\nPlus=+5\r\nNoEq\r\nWord=abc\r\nEmpty=\r\n"
              "\r\n[Default]\r\nLang=1\r\n\r\n[opt]\r\n"
              "Later=1\r\n[U\r\nb=2\r\n  [V] tail\r\nc=3\r\n");
  sim::CSimComputer& pc = m.Load();
  IPlatform& p = pc.GetPlatform();
  const UINT kNotRead = 0xBAD;
  const struct {
    const char *section, *key;
    const char* text;  // GetPrivateProfileStringA, default "DEF"
    UINT number;       // GetPrivateProfileIntA, default 9; kNotRead: not probed
  } rows[] = {
    { "OPT", "websetup", "2", 2 },  // names without regard to case, blanks trimmed
    { "Opt", "Quoted", "  a b  ", kNotRead },  // enclosing quotes go, inner blanks stay
    { "Opt", "Num", "42abc", 42 }, { "Opt", "Neg", "-7", (UINT)-7 }, { "Opt", "Hex", "0x10", 16 },
    { "Opt", "Plus", "+5", 5 }, { "Opt", "Word", "abc", 0 }, { "Opt", "Empty", "", 9 }, { "Opt", "Missing", "DEF", 9 },
    { "Opt", "Later", "DEF", kNotRead },  // only the first section of a name counts
    { "Opt", "NoEq", "DEF", 9 },  // a line without '=' is no key
    { "U", "b", "DEF", kNotRead }, { "V", "c", "3", kNotRead },  // "[U" is no section; text after ']' is ignored
    { "NoSection", "Key", "DEF", kNotRead },
  };
  char buf[64];
  for (const auto& r : rows) {
    p.GetPrivateProfileStringA(r.section, r.key, "DEF", buf, sizeof buf, "D:\\setup.ini");
    EXPECT_STREQ(r.text, buf) << r.section << "/" << r.key;
    if (r.number != kNotRead)
      EXPECT_EQ(r.number, p.GetPrivateProfileIntA(r.section, r.key, 9, "D:\\setup.ini")) << r.section << "/" << r.key;
  }
  EXPECT_EQ(0u, p.GetPrivateProfileStringA("S", "K", "", buf, 8, "D:\\none.ini"));
  EXPECT_EQ(3u, p.GetPrivateProfileStringA("S", "K", "abc  ", buf, 8, "D:\\none.ini"));
  EXPECT_STREQ("abc", buf);  // the default without trailing blanks
  EXPECT_EQ(3u, p.GetPrivateProfileStringA("Opt", "Word", "", buf, 4, "D:\\setup.ini"));
  EXPECT_STREQ("abc", buf);
  EXPECT_EQ(2u, p.GetPrivateProfileStringA("Opt", "Word", "", buf, 3, "D:\\setup.ini"));
  EXPECT_STREQ("ab", buf);  // cut to the buffer
  // A bare name means the Windows directory's file.
  m.WriteFile("C:\\WINDOWS\\WIN.INI", "[windows]\r\nrun=x\r\n");
  p.GetPrivateProfileStringA("windows", "run", "", buf, sizeof buf, "win.ini");
  EXPECT_STREQ("x", buf);
  // Windows 9x caches profile writes until flushed: the computer lists the
  // files still cached at each program start and at the restart. WIN.INI's own
  // functions write the file in the Windows directory (9x has no registry
  // mapping for it).
  p.WritePrivateProfileStringA("S", "k", "1", "A.INI");
  p.WritePrivateProfileStringA("S", "k", "1", "C:\\B.INI");
  EXPECT_TRUE(p.WriteProfileStringA("windows", "run", " "));
  EXPECT_FALSE(p.WritePrivateProfileStringA(nullptr, nullptr, nullptr, "c:\\windows\\a.ini"));
  p.WritePrivateProfileStringA(nullptr, nullptr, nullptr, "NONE.INI");  // creates nothing
  p.WinExec("prog.exe", SW_SHOW);
  p.WritePrivateProfileStringA(nullptr, nullptr, nullptr, "C:\\B.INI");
  p.WriteProfileStringA(nullptr, nullptr, nullptr);
  p.ExitWindowsEx(EWX_REBOOT, 0);
  EXPECT_EQ(pc.UnflushedProfileWrites(), (std::vector<std::string>{ "C:\\B.INI before start \"prog.exe\"",
                                                                      "C:\\WINDOWS\\WIN.INI before start \"prog.exe\"" }));
  EXPECT_EQ("[windows]\r\nrun= \r\n", m.ReadFile("C:\\WINDOWS\\WIN.INI"));
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\NONE.INI"));
  // On 9x (this computer's 98) both are faults, as is WIN.INI written behind its cache.
  p.WritePrivateProfileStringA("windows", "load", "", "c:\\windows\\win.ini");
  EXPECT_EQ(pc.Events(), (std::vector<std::string>{ "fault unflushed \"C:\\B.INI\"",
                                                    "fault unflushed \"C:\\WINDOWS\\WIN.INI\"",
                                                    "start \"prog.exe\" show=5 via=WinExec", "restart",
                                                    "fault WIN.INI written by WritePrivateProfileStringA" }));
}

TEST(SimProfile, WritesChangeOnlyWhatTheyMust)
{
  const std::string base = "; keep me\r\n[A]\r\n  Key = old  \r\nOther=1\r\n\r\n[B]\nx=1\n\n";
  const struct {
    std::string before;
    const char *section, *key, *value;
    std::string after;
  } rows[] = {
    { base, "a", "KEY", "new", "; keep me\r\n[A]\r\nKey=new\r\nOther=1\r\n\r\n[B]\nx=1\n\n" },  // keeps its spelling
    { base, "A", "Added", "v", "; keep me\r\n[A]\r\n  Key = old  \r\nOther=1\r\nAdded=v\r\n\r\n[B]\nx=1\n\n" },
    { base, "B", "y", "2", "; keep me\r\n[A]\r\n  Key = old  \r\nOther=1\r\n\r\n[B]\nx=1\ny=2\r\n\n" },
    { base, "C", "k", "\"q v\"", base + "[C]\r\nk=\"q v\"\r\n" },
    { base, "A", "key", "old", base },  // the same value: untouched
    { base, "A", "Other", nullptr, "; keep me\r\n[A]\r\n  Key = old  \r\n\r\n[B]\nx=1\n\n" },
    { base, "A", nullptr, nullptr, "; keep me\r\n[B]\nx=1\n\n" },
    // A CR alone ends a line, in reads and writes; a change writes such lines
    // with CR LF, as Wine does (each row probed; Wine also drops the blank
    // line that Windows 9x puts before a new section).
    { "[S]\r\nA=1\r", "S", "C", "3", "[S]\r\nA=1\r\nC=3\r\n" },
    { "[S]\r\nA=1\r", "S", "A", "9", "[S]\r\nA=9\r\n" },
    { "[S]\r\nA=1\r", "T", "X", "1", "[S]\r\nA=1\r\n\r\n[T]\r\nX=1\r\n" },
    { "[S]\r\nA=1\rB=2\r\n", "S", "A", "9", "[S]\r\nA=9\r\nB=2\r\n" },
    { "[S]\rA=1\rB=2", "S", "B", "2", "[S]\rA=1\rB=2" },  // unchanged: untouched
  };
  for (const auto& r : rows) {
    const std::string where = "row " + std::to_string(&r - rows), file = "C:\\t.ini";
    CTestMachine m;
    m.WriteFile(file, r.before);
    IPlatform& p = m.Load().GetPlatform();
    char buf[8];
    p.GetPrivateProfileStringA("S", "B", "-", buf, sizeof buf, file.c_str());
    EXPECT_STREQ(r.before.find("B=2") != std::string::npos ? "2" : "-", buf) << where;
    EXPECT_TRUE(p.WritePrivateProfileStringA(r.section, r.key, r.value, file.c_str())) << where;
    EXPECT_EQ(r.after, m.ReadFile(file)) << where;
  }
}
