// The VxD driver's option lines written into an INF copy: one byte per
// matched line, the line's last character, and nothing else.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestMachine.h"
#include "install/InfOptionPatch.h"

namespace {

const char kInf[] = "C:\\WINDOWS\\INF\\OTHER\\TVX3710.INF";

// An INF of the driver set with the five option lines in an order that
// differs from the order they are searched in. {MPU}, {JSTK}, {REAR},
// {BASS} and {MIC} stand for the last character of each.
const char kTemplate[] =
    "; Tonivex 3710 driver set\n"
    "[Version]\n"
    "Signature=\"$CHICAGO$\"\n"
    "Class=MEDIA\n"
    "\n"
    "[TVX3710.AddReg]\n"
    "HKR,,Driver,,tvx3710.vxd\n"
    "HKR,Config,LINEINasBASS,1,{BASS}\n"
    "HKR,Config,DISJSTK,1,{JSTK}\n"
    "HKR,Config,MICasBASS,1,{MIC}\n"
    "HKR,Config,DISMPU,1,{MPU}\n"
    "HKR,Config,LINEINasREAR,1,{REAR}\n"
    "HKR,Config,SPDIF,1,0\n"
    "\n"
    "[SourceDisksNames]\n"
    "1=\"Tonivex 3710 Driver Disk\",,0\n";

std::string ReplaceAll(std::string s, const std::string& from, const std::string& to)
{
  for (size_t pos = s.find(from); pos != std::string::npos; pos = s.find(from, pos + to.size()))
    s.replace(pos, from.size(), to);
  return s;
}

std::string WithCrLf(const std::string& lf) { return ReplaceAll(lf, "\n", "\r\n"); }

struct OptionChars {
  char mpu = '0', jstk = '0', rear = '1', bass = '0', mic = '0';
};

std::string Fill(const std::string& tmpl, const OptionChars& c)
{
  std::string s = tmpl;
  s = ReplaceAll(s, "{MPU}", std::string(1, c.mpu));
  s = ReplaceAll(s, "{JSTK}", std::string(1, c.jstk));
  s = ReplaceAll(s, "{REAR}", std::string(1, c.rear));
  s = ReplaceAll(s, "{BASS}", std::string(1, c.bass));
  s = ReplaceAll(s, "{MIC}", std::string(1, c.mic));
  return s;
}

// The characters the option table asks for.
OptionChars Expected(const VxdDriverOptions& o)
{
  OptionChars c;
  c.mpu = o.m_bDisableMidi ? '1' : '0';
  c.jstk = o.m_bDisableGame ? '1' : '0';
  const bool onBoard = !o.m_bSoundCardJacks;
  c.rear = (onBoard && o.m_bLineInAsRear) ? '1' : '0';
  c.bass = (onBoard && o.m_bLineInAsBass) ? '1' : '0';
  c.mic = (onBoard && o.m_bMicAsBass) ? '1' : '0';
  return c;
}

std::string Describe(const VxdDriverOptions& o)
{
  std::string s = o.m_bSoundCardJacks ? "1007" : "1006";
  if (o.m_bLineInAsRear) s += " 1011";
  if (o.m_bLineInAsBass) s += " 1012";
  if (o.m_bMicAsBass) s += " 1013";
  if (o.m_bDisableMidi) s += " 1000";
  if (o.m_bDisableGame) s += " 1001";
  return s;
}

// Every state the dialog's controls can reach: either radio button, the
// four sets of jack check boxes, and the two port boxes.
std::vector<VxdDriverOptions> ReachableOptions()
{
  const bool jackSets[4][3] = {
      {true, false, false}, {false, true, false}, {false, false, true}, {true, false, true}};
  std::vector<VxdDriverOptions> all;
  for (int soundCard = 0; soundCard < 2; ++soundCard)
    for (const auto& jacks : jackSets)
      for (int midi = 0; midi < 2; ++midi)
        for (int game = 0; game < 2; ++game) {
          VxdDriverOptions o = {};
          o.m_bSoundCardJacks = soundCard;
          o.m_bLineInAsRear = jacks[0];
          o.m_bLineInAsBass = jacks[1];
          o.m_bMicAsBass = jacks[2];
          o.m_bDisableMidi = midi;
          o.m_bDisableGame = game;
          all.push_back(o);
        }
  return all;
}

VxdDriverOptions AllChanges()
{
  VxdDriverOptions o = {};
  o.m_bDisableMidi = TRUE;
  o.m_bDisableGame = TRUE;
  o.m_bLineInAsBass = TRUE;  // LINEINasREAR to 0, LINEINasBASS to 1
  return o;
}

class InfOptionPatchTest : public ::testing::Test {
protected:
  // Writes the file, patches it on the simulated computer, returns it.
  std::string Patch(const std::string& content, const VxdDriverOptions& options)
  {
    m.WriteFile(kInf, content);
    if (!m.computer)
      m.Load();
    sim::CPlatformScope scope(*m.computer);
    PatchInfConfigLines(kInf, options);
    return m.ReadFile(kInf).value_or("<missing>");
  }

  size_t CountPauses() const
  {
    const auto& ev = m.computer->Events();
    return std::count(ev.begin(), ev.end(), std::string("pause 100"));
  }

  CTestMachine m;
};

TEST_F(InfOptionPatchTest, EveryReachableStateWritesExactlyItsCharacters)
{
  for (const char* lineEnd : {"CR LF", "LF"}) {
    const std::string tmpl =
        std::string(lineEnd) == "LF" ? std::string(kTemplate) : WithCrLf(kTemplate);
    const std::string shipped = Fill(tmpl, OptionChars());
    for (const VxdDriverOptions& o : ReachableOptions()) {
      SCOPED_TRACE(std::string(lineEnd) + ": " + Describe(o));
      EXPECT_EQ(Patch(shipped, o), Fill(tmpl, Expected(o)));
    }
  }
}

TEST_F(InfOptionPatchTest, DefaultSettingsLeaveTheFileAsShipped)
{
  const std::string shipped = Fill(WithCrLf(kTemplate), OptionChars());
  VxdDriverOptions o = {};
  o.m_bLineInAsRear = TRUE;
  EXPECT_EQ(Patch(shipped, o), shipped);
  EXPECT_EQ(CountPauses(), 0u);
}

TEST_F(InfOptionPatchTest, OnlyTheFirstOfRepeatedLinesChanges)
{
  const std::string lf =
      "[A]\n"
      "HKR,Config,DISMPU,1,0\n"
      "HKR,Config,LINEINasREAR,1,1\n"
      "[B]\n"
      "HKR,Config,DISMPU,1,0\n"
      "HKR,Config,LINEINasREAR,1,1\n"
      "HKR,Config,DISJSTK,1,0\n"
      "HKR,Config,DISJSTK,1,0\n";
  const std::string expected =
      "[A]\n"
      "HKR,Config,DISMPU,1,1\n"
      "HKR,Config,LINEINasREAR,1,0\n"
      "[B]\n"
      "HKR,Config,DISMPU,1,0\n"
      "HKR,Config,LINEINasREAR,1,1\n"
      "HKR,Config,DISJSTK,1,1\n"
      "HKR,Config,DISJSTK,1,0\n";
  EXPECT_EQ(Patch(WithCrLf(lf), AllChanges()), WithCrLf(expected));
  EXPECT_EQ(Patch(lf, AllChanges()), expected);
}

TEST_F(InfOptionPatchTest, NearMissSpellingsAreLeftAlone)
{
  using namespace std::string_literals;
  // The last two lines hold a NUL byte right after the option text.
  const std::string lf =
      "hkr,Config,DISMPU,1,0\n"
      "HKR,config,DISJSTK,1,0\n"
      "HKR,Config,DISMPU,1,0 \n"
      " HKR,Config,DISMPU,1,0\n"
      "HKR, Config,DISJSTK,1,0\n"
      "HKR,Config,DISJSTK,1,0\t\n"
      "HKR,Config,DISJSTK,1,00\n"
      "HKR,Config,DISMPU,1,1\n"
      "HKR,Config,LINEINasREAR,1,0\n"
      "HKR,Config,LINEINASREAR,1,1\n"
      "HKR,Config,LINEINasBASS,1,1\n"
      "HKR,Config,LINEINasBASS,0,0\n"
      "HKR,Config,MICasBASS,1,0;\n"
      "HKR,Config,MICasBass,1,0\n"
      "HKR,Config,MICasBASS,1,0\r\r\n"
      "HKR,Config,DISMPU,1\n"
      "HKR,Config,DISMPU,1,0\0\n"s
      "HKR,Config,MICasBASS,1,0\0x\n"s;
  VxdDriverOptions o = AllChanges();
  o.m_bMicAsBass = TRUE;
  EXPECT_EQ(Patch(lf, o), lf);
  EXPECT_EQ(Patch(WithCrLf(lf), o), WithCrLf(lf));
  EXPECT_EQ(CountPauses(), 0u);
}

TEST_F(InfOptionPatchTest, LastLineWithoutLineBreakIsMatched)
{
  for (const char* body : {"[A]\r\nHKR,Config,DISMPU,1,0", "[A]\nHKR,Config,DISMPU,1,0",
                           "HKR,Config,DISMPU,1,0"}) {
    SCOPED_TRACE(body);
    VxdDriverOptions o = {};
    o.m_bLineInAsRear = TRUE;
    o.m_bDisableMidi = TRUE;
    std::string expected = body;
    expected.back() = '1';
    EXPECT_EQ(Patch(body, o), expected);
  }
  VxdDriverOptions rear = {};
  rear.m_bSoundCardJacks = TRUE;
  EXPECT_EQ(Patch("[A]\r\nHKR,Config,LINEINasREAR,1,1", rear), "[A]\r\nHKR,Config,LINEINasREAR,1,0");
}

TEST_F(InfOptionPatchTest, TailOfALongLineIsNeverTakenForAnOptionLine)
{
  // Pieces of 1023 bytes: a naive reader would see the option text alone
  // in the second (and, for the longer line, the third) piece.
  const std::string tail = "HKR,Config,DISMPU,1,0";
  for (size_t pad : {size_t(1023), size_t(2046), size_t(1022), size_t(1024)}) {
    for (const char* eol : {"\r\n", "\n"}) {
      SCOPED_TRACE("padding " + std::to_string(pad) + (eol[0] == '\r' ? " CR LF" : " LF"));
      const std::string longLine = "; " + std::string(pad - 2, 'x') + tail + eol;
      VxdDriverOptions o = {};
      o.m_bLineInAsRear = TRUE;
      o.m_bDisableMidi = TRUE;
      const std::string alone = "[A]" + std::string(eol) + longLine;
      EXPECT_EQ(Patch(alone, o), alone);
      // A real option line after it is still found.
      const std::string after = alone + tail + eol + "[B]" + eol;
      std::string expected = after;
      expected[alone.size() + tail.size() - 1] = '1';
      EXPECT_EQ(Patch(after, o), expected);
    }
  }
}

TEST_F(InfOptionPatchTest, PausesOnlyBeforeThePortWrites)
{
  const std::string shipped = Fill(WithCrLf(kTemplate), OptionChars());
  Patch(shipped, AllChanges());
  EXPECT_EQ(CountPauses(), 2u);

  VxdDriverOptions jacksOnly = {};
  jacksOnly.m_bSoundCardJacks = TRUE;
  Patch(shipped, jacksOnly);
  EXPECT_EQ(CountPauses(), 2u);
}

TEST_F(InfOptionPatchTest, FilesWithoutOptionLinesOrThatCannotBeOpenedStayUnchanged)
{
  EXPECT_EQ(Patch("", AllChanges()), "");
  EXPECT_EQ(Patch("\r\n", AllChanges()), "\r\n");
  const std::string other = "[Version]\r\nSignature=\"$CHICAGO$\"\r\n";
  EXPECT_EQ(Patch(other, AllChanges()), other);

  const std::string shipped = Fill(WithCrLf(kTemplate), OptionChars());
  m.WriteFile(kInf, shipped);
  m.SetReadOnly(kInf);
  {
    sim::CPlatformScope scope(*m.computer);
    PatchInfConfigLines(kInf, AllChanges());
    PatchInfConfigLines("C:\\WINDOWS\\INF\\OTHER\\MISSING.INF", AllChanges());
  }
  EXPECT_EQ(m.ReadFile(kInf), shipped);
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\INF\\OTHER\\MISSING.INF"));
}

}  // namespace
