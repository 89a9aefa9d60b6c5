// The program's compiled resources (the .res form that windres writes):
// dialog templates, string tables and icons, by type, id and language.
#ifndef TOOLS_SIM_SIMRESOURCES_H
#define TOOLS_SIM_SIMRESOURCES_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

enum : uint16_t { kRtIcon = 3, kRtDialog = 5, kRtString = 6, kRtGroupIcon = 14 };

struct ResEntry {
  uint16_t typeId = 0;    // 0 when the type is named
  std::string typeName;
  uint16_t nameId = 0;    // 0 when the resource is named
  std::string name;
  uint16_t language = 0;
  std::vector<unsigned char> data;
};

struct DlgItem {
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int id = 0;
  uint16_t classAtom = 0;  // 0x80 button, 0x81 edit, 0x82 static, ...
  std::string className;   // when given by name
  std::string text;
};

struct DlgTemplate {
  uint32_t style = 0;
  uint32_t exStyle = 0;
  std::string caption;
  std::vector<DlgItem> items;
};

class CSimResources {
public:
  // Parses .res bytes; false with a message when they are not in that form.
  bool Parse(const unsigned char* pData, size_t cbData, std::string* pError);

  // The resource of that type and id for the user's language, picked as
  // Windows' resource loader does; *pLanguage receives the one used.
  const ResEntry* Find(uint16_t type, uint16_t id, uint16_t language,
                       uint16_t* pLanguage = nullptr) const;
  // String id from the string tables, as 8-bit text.
  std::optional<std::string> String(unsigned id, uint16_t language) const;
  // A DIALOG or DIALOGEX template; texts in the language's code page.
  static bool ParseDialog(const std::vector<unsigned char>& data, uint16_t language,
                          DlgTemplate* pOut);

private:
  std::vector<ResEntry> m_entries;
};

// UTF-16 text in the 8-bit form of the language's ANSI code page (932,
// 949, 950, 936; else 1252, taken as Latin-1); characters the code page
// lacks become '?'.
std::string NarrowText(const std::u16string& s, uint16_t language);

}  // namespace sim

#endif
