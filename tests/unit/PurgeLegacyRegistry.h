// The registry of the purge scenarios' machine with every kind of trace
// earlier releases leave, and what the purge removes from it.
#ifndef TESTS_UNIT_PURGELEGACYREGISTRY_H
#define TESTS_UNIT_PURGELEGACYREGISTRY_H

#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace purgetest {

inline const std::string kClass = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\services\\Class\\MEDIA";
inline const std::string kRes = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\control\\MediaResources";
inline const std::string kPci = "HKEY_LOCAL_MACHINE\\Enum\\PCI";
inline const std::string kQvx = "HKEY_LOCAL_MACHINE\\Enum\\QVX";
inline const std::string kVirtual = "HKEY_LOCAL_MACHINE\\Enum\\VIRTUAL";
inline const std::string kAsio = "HKEY_LOCAL_MACHINE\\SOFTWARE\\ASIO";
inline const std::string kSpaceFx = "HKEY_CLASSES_ROOT\\SpaceFX";
inline const std::string kSpaceFxClsid = "HKEY_CLASSES_ROOT\\CLSID\\{4B7A2C10-9E31-11D0-A5C2-0040D3E87F16}";
inline const std::string kAsioClsid = "HKEY_CLASSES_ROOT\\CLSID\\{6E0D93F2-B8A4-11D2-9C7E-0060B1F4A233}";

inline std::string Key(const std::string& path) { return "\n[" + path + "]\n"; }

// The machine of the purge scenarios (tests/scenarios/bases/legacy-traces.reg):
// class instances 0000 another maker's, 0001, 0002 and 0005 the maker's (0002
// behind a long value name and a large value, 0005 with a long
// ProviderName), 0003 with a lower-case value name, 0004 a near miss; their
// media resource entries; device keys with near misses; the registrations.
inline std::string FullRegistry()
{
  std::ifstream in(std::string(SETUP_SOURCE_DIR) + "/tests/scenarios/bases/legacy-traces.reg",
                   std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// What step 1 removes from the full registry.
inline const std::vector<std::string> kInstanceTraces = {
  kClass + "\\0001", kClass + "\\0002", kClass + "\\0005",
  kRes + "\\aux\\QVPCI95.DRV<0001>", kRes + "\\joystick\\qvjoy.drv<0001>",
  kRes + "\\midi\\QVXMIDI.DRV<0002>", kRes + "\\mixer\\QVPCI95.DRV<0001>",
  kRes + "\\wave\\Tonivex PCI Audio wave device with a very long driver name.drv<0002>",
  kRes + "\\wave\\QVPCI95.DRV<0005>",
  kRes + "\\wave\\x<0001>",
};
inline const std::vector<std::string> kDeviceTraces = {
  kPci + "\\VEN_5D2A&DEV_0111&SUBSYS_00000000", kPci + "\\VEN_5D2A&DEV_0100",
  kPci + "\\VEN_5D2A&DEV_01", kQvx + "\\CHILD0000", kQvx + "\\CHILD0001",
  kVirtual + "\\TVQ-SWMIDI", kVirtual + "\\TVQ-SBEMU",
};
inline const std::vector<std::string> kRegistrationTraces = {
  kSpaceFx, kSpaceFxClsid, kAsio + "\\Tonivex ASIO", kAsio + "\\Tonivex ASIO Multi", kAsioClsid,
};

inline std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> lists)
{
  std::vector<std::string> all;
  for (const auto& l : lists)
    all.insert(all.end(), l.begin(), l.end());
  return all;
}

}  // namespace purgetest

#endif
