// registry.reg as the simulated computer writes it back: byte for byte as
// read when nothing changed, and otherwise with only the changed lines
// differing, whatever form the new state came in.
#include <gtest/gtest.h>

#include "sim/SimChanges.h"

namespace {

std::string WithCrLf(const std::string& text)
{
  std::string out;
  for (char c : text)
    out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

struct RoundTripRow {
  const char* name;
  std::string text;
};

const RoundTripRow kRoundTrips[] = {
    {"every value type, CR LF", WithCrLf(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Veltrix]
@="default"
"Path"="C:\\Program Files\\Veltrix \"Suite\""
"Empty"=""
"Count"=dword:0000000a
"Blob"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\
  16,17,18,19
"Search"=hex(2):25,57,49,4e,44,49,52,25,00
"List"=hex(7):61,00,62,00,00
"Raw"=hex(0):
"NoEnd"=hex(1):41,42
"Big"=hex(4):01,02,03,04
; a comment

)")},
    {"LF, one key in several spellings, odd wrapping, no final line end", R"(

REGEDIT4
[HKEY_LOCAL_MACHINE\Software\A]
"X"="1"
[hkey_local_machine\SOFTWARE\B]
  "Wrapped" = hex:01,02,\
      03,\
04
[HKEY_LOCAL_MACHINE\software\a]
"X"="2"
"Y"=dword:FFFFFFFF)"},
    {"header only", "REGEDIT4\r\n\r\n"},
};

TEST(SimRegistryFileTest, UnchangedRegistryIsWrittenBackByteForByte)
{
  for (const auto& row : kRoundTrips) {
    sim::CSimRegistry reg, again;
    std::string err;
    ASSERT_TRUE(reg.Parse(row.text, &err)) << row.name << ": " << err;
    EXPECT_EQ(row.text, reg.Export()) << row.name;
    ASSERT_TRUE(again.Parse(row.text, &err));
    std::vector<sim::SimChange> changes;
    sim::CompareRegistries(reg, again, &changes);
    EXPECT_TRUE(changes.empty()) << row.name;
  }
}

// A registry file brought to the state that another text describes (as a
// run, or a computer's state read back from elsewhere, would leave it).
struct RewriteRow {
  const char* name;
  std::string before, state, expected;
};

const RewriteRow kRewrites[] = {
    {"values: changed in place, removed, added after the key's last value",
     WithCrLf(R"(REGEDIT4

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
     // The new state in another form: other spellings, order and wrapping.
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
     WithCrLf(R"(REGEDIT4

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

)")},
    {"keys: removed with their lines, new after their parent's tree, an implied parent kept",
     R"(REGEDIT4

[HKEY_LOCAL_MACHINE\Enum\Root\Gone]
"X"="1"

[HKEY_LOCAL_MACHINE\Enum\Root\Stays]

[HKEY_LOCAL_MACHINE\Enum\Other\Child]
"Y"="2"

[HKEY_CURRENT_USER\Last]
)",
     R"(REGEDIT4
[HKEY_USERS\.DEFAULT\Fresh]
[HKEY_CURRENT_USER\Last]
[HKEY_LOCAL_MACHINE\ENUM\Other]
[HKEY_LOCAL_MACHINE\ENUM\Root\New\Sub]
[HKEY_LOCAL_MACHINE\ENUM\Root\Stays]
[HKEY_LOCAL_MACHINE\ENUM\Root\New]
"Z"=hex(7):61,00,00
)",
     R"(REGEDIT4

[HKEY_LOCAL_MACHINE\Enum\Root\Stays]

[HKEY_LOCAL_MACHINE\Enum\Root\New]
"Z"=hex(7):61,00,00

[HKEY_LOCAL_MACHINE\Enum\Root\New\Sub]

[HKEY_LOCAL_MACHINE\Enum\Other]

[HKEY_CURRENT_USER\Last]

[HKEY_USERS\.DEFAULT]

[HKEY_USERS\.DEFAULT\Fresh]

)"},
};

TEST(SimRegistryFileTest, RewriteChangesOnlyTheLinesOfWhatChanged)
{
  for (const auto& row : kRewrites) {
    sim::CSimRegistry reg, state;
    std::string err;
    ASSERT_TRUE(reg.Parse(row.before, &err)) << row.name << ": " << err;
    ASSERT_TRUE(state.Parse(row.state, &err)) << row.name << ": " << err;
    std::vector<sim::SimChange> changes;
    sim::CompareRegistries(reg, state, &changes);
    sim::ApplyRegistryChanges(reg, changes);
    EXPECT_EQ(row.expected, reg.Export()) << row.name;
    // Read back, the file holds the new state.
    sim::CSimRegistry written;
    ASSERT_TRUE(written.Parse(reg.Export(), &err)) << row.name << ": " << err;
    changes.clear();
    sim::CompareRegistries(written, state, &changes);
    EXPECT_EQ("changes:\nnone\n", sim::FormatChangeReport(changes)) << row.name;
  }
}

}  // namespace
