// The VxD driver's option lines written into an INF copy: one byte per
// matched line, the line's last character, and nothing else. Which clicks
// give which options, and the lines each sets in the driver set's INF (CR
// LF), are in tests/scenarios/dialog-vxd-options.scn.
#include <algorithm>
#include <cstring>

#include "TestMachine.h"
#include "install/InfOptionPatch.h"

namespace {

using namespace std::string_literals;

// Options by words: card (the sound card's jacks), rear, bass, mic, midi, game.
VxdDriverOptions Options(const std::string& words)
{
  const auto has = [&](const char* w) { return words.find(w) != std::string::npos; };
  VxdDriverOptions o = {};
  o.m_bSoundCardJacks = has("card"), o.m_bLineInAsRear = has("rear"), o.m_bLineInAsBass = has("bass");
  o.m_bMicAsBass = has("mic"), o.m_bDisableMidi = has("midi"), o.m_bDisableGame = has("game");
  return o;
}

// Near misses of every option line: case, blanks, tabs, other values and
// flags, a stray CR, a missing field, a NUL byte after the option text.
const std::string kNearMisses =
    "hkr,Config,DISMPU,1,0\nHKR,config,DISJSTK,1,0\nHKR,Config,DISMPU,1,0 \n HKR,Config,DISMPU,1,0\n"
    "HKR, Config,DISJSTK,1,0\nHKR,Config,DISJSTK,1,0\t\nHKR,Config,DISJSTK,1,00\nHKR,Config,DISMPU,1,1\n"
    "HKR,Config,LINEINasREAR,1,0\nHKR,Config,LINEINASREAR,1,1\nHKR,Config,LINEINasBASS,1,1\n"
    "HKR,Config,LINEINasBASS,0,0\nHKR,Config,MICasBASS,1,0;\nHKR,Config,MICasBass,1,0\n"
    "HKR,Config,MICasBASS,1,0\r\r\nHKR,Config,DISMPU,1\nHKR,Config,DISMPU,1,0\0\nHKR,Config,MICasBASS,1,0\0x\n"s;

// Each row runs with LF line breaks and again with CR LF.
struct Row {
  const char* options;
  std::string before, after;
  size_t nPauses;  // one before each port line written
};
const Row kRows[] = {
  // Only the first of repeated lines changes.
  { "bass midi game",
    "[A]\nHKR,Config,DISMPU,1,0\nHKR,Config,LINEINasREAR,1,1\n[B]\nHKR,Config,DISMPU,1,0\n"
    "HKR,Config,LINEINasREAR,1,1\nHKR,Config,DISJSTK,1,0\nHKR,Config,DISJSTK,1,0\n",
    "[A]\nHKR,Config,DISMPU,1,1\nHKR,Config,LINEINasREAR,1,0\n[B]\nHKR,Config,DISMPU,1,0\n"
    "HKR,Config,LINEINasREAR,1,1\nHKR,Config,DISJSTK,1,1\nHKR,Config,DISJSTK,1,0\n", 2 },
  { "bass mic midi game", kNearMisses, kNearMisses, 0 },
  // A last line without a line break is matched.
  { "rear midi", "[A]\nHKR,Config,DISMPU,1,0", "[A]\nHKR,Config,DISMPU,1,1", 1 },
  { "rear midi", "HKR,Config,DISMPU,1,0", "HKR,Config,DISMPU,1,1", 1 },
  // A read-only file, a missing one (files without option lines: the inf_option_patch fuzz target).
  { "bass midi game read-only", "HKR,Config,DISMPU,1,0\n", "HKR,Config,DISMPU,1,0\n", 0 },
  { "bass midi game", "<missing>", "<missing>", 0 },
};

}  // namespace

TEST(InfOptionPatch, WritesExactlyTheOptionsCharacters)
{
  const char kInf[] = "C:\\WINDOWS\\INF\\OTHER\\TVX3710.INF";
  for (const std::string eol : { "\n", "\r\n" }) {
    std::vector<Row> rows(std::begin(kRows), std::end(kRows));
    // Lines longer than the 1023 bytes read at a time, ending in an option
    // line's text that a naive reader would see alone in a later piece; a
    // real option line after them is still matched.
    for (size_t n : { 1022, 1023, 1024, 2046 }) {
      const std::string longLine = "[A]\n; " + std::string(n - 2, 'x') + "HKR,Config,DISMPU,1,0\n";
      rows.push_back(
          { "rear midi", longLine + "HKR,Config,DISMPU,1,0\n[B]\n", longLine + "HKR,Config,DISMPU,1,1\n[B]\n", 1 });
    }
    for (const auto& row : rows) {
      SCOPED_TRACE("row " + std::to_string(&row - &rows[0]) + (eol == "\n" ? " LF" : " CR LF"));
      CTestMachine m;
      if (row.before != "<missing>")
        m.WriteFile(kInf, WithEol(row.before, eol), std::strstr(row.options, "read-only"));
      sim::CPlatformScope scope(m.Load());
      PatchInfConfigLines(kInf, Options(row.options));
      EXPECT_EQ(WithEol(row.after, eol), m.ReadFile(kInf).value_or("<missing>"));
      const auto& ev = m.computer->Events();
      EXPECT_EQ(row.nPauses, (size_t)std::count(ev.begin(), ev.end(), "pause 100"));
    }
  }
}
