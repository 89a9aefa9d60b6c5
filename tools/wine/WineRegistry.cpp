// The prefix's registry after a run, brought back into the machine's
// registry.reg: the keys of the machine as they stand in the prefix, and the
// keys the run created, with only the run's lines changed in the file.
#include <cctype>
#include <cstdint>
#include <set>

#include "WineParts.h"
#include "WineTrace.h"
#include "sim/SimChanges.h"
#include "sim/SimRegistry.h"
#include "sim/SimText.h"

namespace winerun {

namespace {

std::vector<unsigned char> HexBytes(const std::string& s)
{
  std::vector<unsigned char> out;
  for (size_t i = 0; i + 1 < s.size(); ++i)
    if (sim::HexDigit(s[i]) >= 0 && sim::HexDigit(s[i + 1]) >= 0) {
      out.push_back((unsigned char)(sim::HexDigit(s[i]) * 16 + sim::HexDigit(s[i + 1])));
      ++i;
    }
  return out;
}

// One value line of Wine's files ("name"=data, @=data); false for lines
// that are none (#time, #link).
bool ParseValue(const std::string& line, sim::RegValue* pOut)
{
  size_t eq;
  if (line.compare(0, 2, "@=") == 0) {
    pOut->name.clear();
    eq = 1;
  } else if (!line.empty() && line[0] == '"') {
    pOut->name = CEscapedString(line, 0, 4, &eq);
    if (eq >= line.size() || line[eq] != '=')
      return false;
  } else {
    return false;
  }
  std::string data = line.substr(eq + 1);
  pOut->data.clear();
  if (!data.empty() && data[0] == '"') {
    size_t end;
    std::string text = CEscapedString(data, 0, 4, &end);
    pOut->type = 1;
    pOut->data.assign(text.begin(), text.end());
    pOut->data.push_back(0);
  } else if (data.compare(0, 6, "dword:") == 0) {
    uint32_t v = (uint32_t)std::stoul(data.substr(6), nullptr, 16);
    pOut->type = 4;
    for (int i = 0; i < 4; ++i)
      pOut->data.push_back((unsigned char)(v >> (8 * i)));
  } else if (data.compare(0, 4, "str(") == 0) {
    size_t close = data.find("):");
    size_t end;
    std::string text = CEscapedString(data, close + 2, 4, &end);
    pOut->type = (uint32_t)std::stoul(data.substr(4, close - 4), nullptr, 16);
    pOut->data.assign(text.begin(), text.end());
    pOut->data.push_back(0);
  } else if (data.compare(0, 4, "hex:") == 0) {
    pOut->type = 3;
    pOut->data = HexBytes(data.substr(4));
  } else if (data.compare(0, 4, "hex(") == 0) {
    size_t close = data.find("):");
    pOut->type = (uint32_t)std::stoul(data.substr(4, close - 4), nullptr, 16);
    pOut->data = HexBytes(data.substr(close + 2));
    // Wine keeps strings as UTF-16: the types that hold text come as ANSI.
    if (pOut->type == 2 || pOut->type == 7) {
      std::vector<unsigned char> ansi;
      for (size_t i = 0; i + 1 < pOut->data.size(); i += 2) {
        unsigned v = pOut->data[i] | (pOut->data[i + 1] << 8);
        ansi.push_back(v < 256 ? (unsigned char)v : '?');
      }
      pOut->data = ansi;
    }
  } else {
    return false;
  }
  return true;
}

std::string LowerPath(std::string s)
{
  for (char& c : s)
    c = (char)std::tolower((unsigned char)c);
  return s;
}

std::string ParentOf(const std::string& path)
{
  size_t at = path.rfind('\\');
  return at == std::string::npos ? std::string() : path.substr(0, at);
}

// Which keys of Wine's files are read: the machine's keys (as Wine's files
// name them) and their subkeys, and below a subkey that the template does
// not have (one the run created), everything. The rest (most of Wine's own
// registry) is passed over.
struct CKeyFilter {
  std::set<std::string> machine;  // lower case, with every parent
  const sim::CSimRegistry* pTemplate = nullptr;
  std::set<std::string> created;

  bool Wants(const std::string& path)
  {
    std::string low = LowerPath(path), parent = ParentOf(low);
    if (machine.count(low) || machine.count(parent))
      return Remember(path, low);
    return created.count(parent) && Remember(path, low);
  }
  bool Remember(const std::string& path, const std::string& low)
  {
    if (pTemplate && !pTemplate->FindPath(path))
      created.insert(low);
    return true;
  }
};

// Reads one of Wine's registry files into `registry` under `root`.
void ReadWineFile(const std::string& file, const std::string& root, CKeyFilter& filter,
                  sim::CSimRegistry* pRegistry)
{
  std::string text = ReadAll(file);
  sim::RegKey* key = nullptr;
  std::string pending;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
    pos = nl == std::string::npos ? text.size() : nl + 1;
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    // Long hex data goes on over lines ending in a backslash.
    if (!pending.empty()) {
      size_t b = line.find_first_not_of(" \t");
      line = pending + (b == std::string::npos ? "" : line.substr(b));
      pending.clear();
    }
    if (!line.empty() && line.back() == '\\' && line.find("hex") != std::string::npos) {
      pending = line.substr(0, line.size() - 1);
      continue;
    }
    if (!line.empty() && line[0] == '[') {
      size_t end = line.rfind(']');
      std::string path;
      for (size_t i = 1; i < end; ++i) {
        path += line[i];
        if (line[i] == '\\' && i + 1 < end && line[i + 1] == '\\')
          ++i;
      }
      std::string full = root + "\\" + path;
      key = filter.Wants(full) ? pRegistry->CreatePath(full) : nullptr;
      continue;
    }
    sim::RegValue v;
    if (key && ParseValue(line, &v))
      key->SetValue(v);
  }
}

// The registry of a prefix: HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER and
// HKEY_USERS\.Default.
void ReadPrefix(const std::string& prefix, CKeyFilter& filter, sim::CSimRegistry* pRegistry)
{
  ReadWineFile(prefix + "/system.reg", "HKEY_LOCAL_MACHINE", filter, pRegistry);
  ReadWineFile(prefix + "/user.reg", "HKEY_CURRENT_USER", filter, pRegistry);
  ReadWineFile(prefix + "/userdef.reg", "HKEY_USERS\\.Default", filter, pRegistry);
}

// Every key of the machine as Wine's files name it, with its parents.
void AddMachineKeys(const sim::RegKey& key, const std::string& path, std::set<std::string>* pOut)
{
  std::string wine = LowerPath(WineKeyPath(path));
  for (std::string p = wine; !p.empty(); p = ParentOf(p))
    pOut->insert(p);
  for (const auto& s : key.subkeys)
    AddMachineKeys(*s, path + "\\" + s->name, pOut);
}

sim::RegKey* Find(const sim::CSimRegistry& registry, const std::string& machinePath)
{
  return registry.FindPath(WineKeyPath(machinePath));
}

void CopyTree(const sim::RegKey& from, sim::RegKey* pTo)
{
  for (const auto& v : from.values)
    pTo->SetValue(v);
  for (const auto& s : from.subkeys)
    CopyTree(*s, pTo->OpenOrCreate(s->name));
}

// A key of the machine as the prefix holds it: its values, the subkeys the
// machine has (where Wine's files keep them) and those the run created.
void TakeKey(const sim::RegKey& machine, const std::string& machinePath, const sim::CSimRegistry& after,
             const sim::CSimRegistry& templ, sim::RegKey* pOut)
{
  std::string winePath = WineKeyPath(machinePath);
  const sim::RegKey* a = after.FindPath(winePath);
  const sim::RegKey* t = templ.FindPath(winePath);
  for (const auto& v : a->values) {
    if (IsVersionSetting(winePath, v.name)) {
      if (const sim::RegValue* m = machine.FindValue(v.name))
        pOut->SetValue(*m);
      continue;
    }
    // Wine's own values of the key are not the run's, unless the machine has
    // them too.
    const sim::RegValue* tv = t ? t->FindValue(v.name) : nullptr;
    if (!machine.FindValue(v.name) && tv && sim::SameData(*tv, v))
      continue;
    pOut->SetValue(v);
  }
  // The version settings' values the prefix dropped stay as the machine has them.
  for (const auto& v : machine.values)
    if (IsVersionSetting(winePath, v.name) && !pOut->FindValue(v.name))
      pOut->SetValue(v);
  for (const auto& m : machine.subkeys) {
    std::string path = machinePath + "\\" + m->name;
    if (after.FindPath(WineKeyPath(path)))
      TakeKey(*m, path, after, templ, pOut->OpenOrCreate(m->name));
  }
  for (const auto& s : a->subkeys) {
    if (machine.FindSubKey(s->name) || IsWineOwnKey(winePath + "\\" + s->name) ||
        (t && t->FindSubKey(s->name)))
      continue;  // the machine's, or Wine's own
    CopyTree(*s, pOut->OpenOrCreate(s->name));
  }
}

// The parts of the registry a prefix holds; other users' keys and the
// configuration hives are left as the machine has them.
bool Modelled(const std::string& path)
{
  for (const char* p : { "HKEY_LOCAL_MACHINE\\", "HKEY_CURRENT_USER\\", "HKEY_CLASSES_ROOT\\",
                         "HKEY_USERS\\.Default" })
    if (SameName(path.substr(0, std::string(p).size()), p))
      return true;
  return false;
}


}  // namespace

bool WriteRegistryBack(const std::string& machineDir, const std::string& prefix,
                       const std::string& templatePrefix, std::string* pError)
{
  std::string regFile = machineDir + "/registry.reg";
  std::string text = fs::exists(regFile) ? ReadAll(regFile) : std::string("REGEDIT4\r\n\r\n");
  sim::CSimRegistry before, target, after, templ;
  if (!before.Parse(text, pError) || !target.Parse(text, pError))
    return false;
  CKeyFilter filter;
  for (const auto& hive : before.Hives())
    for (const auto& top : hive->subkeys)
      AddMachineKeys(*top, hive->name + "\\" + top->name, &filter.machine);
  ReadPrefix(templatePrefix, filter, &templ);
  filter.pTemplate = &templ;
  ReadPrefix(prefix, filter, &after);

  // The machine's registry as the prefix holds it, key by key from the
  // machine's own keys down; a key of the machine the prefix no longer has
  // was deleted.
  sim::CSimRegistry now;
  for (const auto& hive : before.Hives()) {
    for (const auto& top : hive->subkeys) {
      std::string path = hive->name + "\\" + top->name;
      const sim::RegKey* a = Find(after, path);
      if (!a && !Modelled(path))
        CopyTree(*top, now.CreatePath(path));
      else if (a)
        TakeKey(*top, path, after, templ, now.CreatePath(path));
    }
    // Keys the run created beside the machine's top keys are not looked
    // for: the launcher creates keys only below keys that exist.
  }
  std::vector<sim::SimChange> changes;
  sim::CompareRegistries(before, now, &changes);
  sim::ApplyRegistryChanges(target, changes);
  WriteAll(regFile, target.Export());
  return true;
}

}  // namespace winerun
