// A machine holding every kind of registry trace that earlier releases of
// the maker's drivers leave, with other makers' entries and near misses
// beside them, and what the purge removes from it.
#ifndef TESTS_UNIT_PURGELEGACYREGISTRY_H
#define TESTS_UNIT_PURGELEGACYREGISTRY_H

#include <initializer_list>
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

inline const std::string kLongValueName(300, 'v');
inline const std::string kLongEntry = "Tonivex PCI Audio wave device with a very long driver name.drv";
inline const std::string kLongPci = "VEN_1A2B&DEV_4000&SUBSYS_12345678&REV_01" + std::string(150, 'X');

inline std::string Key(const std::string& path) { return "\n[" + path + "]\n"; }

// Class instances: 0000 another maker's, 0001, 0002 and 0005 the maker's
// (0002 behind a long value name and a large value, 0005 with a long
// ProviderName), 0003 with a lower-case value name, 0004 a near miss.
inline std::string ClassInstances()
{
  std::string hex;
  for (int i = 0; i < 300; ++i)
    hex += (i ? "," : "") + std::string("5a");
  return "REGEDIT4\n" + Key(kClass) + "@=\"Sound, video and game controllers\"\n" +
         Key(kClass + "\\0000") +
         "\"DriverDesc\"=\"Arcwave WaveStation 64\"\n\"ProviderName\"=\"Arcwave Systems\"\n" +
         Key(kClass + "\\0000\\Drivers\\wave\\arcwave.drv") + "\"Driver\"=\"arcwave.drv\"\n" +
         Key(kClass + "\\0001") +
         "\"DriverDesc\"=\"Tonivex PCI Audio\"\n\"InfPath\"=\"OEM0.INF\"\n\"ProviderName\"=\"Veltrix\"\n" +
         Key(kClass + "\\0001\\Drivers\\wave\\QVPCI95.DRV") + "\"Driver\"=\"QVPCI95.DRV\"\n" +
         Key(kClass + "\\0002") + "\"DriverDesc\"=\"Tonivex 3710\"\n\"" + kLongValueName +
         "\"=\"x\"\n\"Blob\"=hex:" + hex + "\n\"ProviderName\"=\"VELTRIX Audio Inc.\"\n" +
         Key(kClass + "\\0003") + "\"providername\"=\"Veltrix\"\n" +
         Key(kClass + "\\0004") + "\"ProviderName\"=\"Veltri\"\n" +
         Key(kClass + "\\0005") + "\"ProviderName\"=\"Veltrix " + std::string(400, 'L') + "\"\n";
}

inline std::string MediaResources()
{
  return Key(kRes + "\\aux\\arcwave.drv<0000>") + "\"Driver\"=\"arcwave.drv\"\n" +
         Key(kRes + "\\aux\\QVPCI95.DRV<0001>") + "\"Driver\"=\"QVPCI95.DRV\"\n" +
         Key(kRes + "\\joystick\\joyport.drv<0000>") + Key(kRes + "\\joystick\\qvjoy.drv<0001>") +
         Key(kRes + "\\midi\\QVXMIDI.DRV<0010>") + Key(kRes + "\\midi\\QVXMIDI.DRV<0002>") +
         Key(kRes + "\\midi\\arcmidi.drv<0000>") + Key(kRes + "\\mixer\\QVPCI95.DRV<0001>") +
         Key(kRes + "\\mixer\\QVPCI95.DRV<0001>\\Config") + "\"Port\"=dword:00000220\n" +
         Key(kRes + "\\wave\\QVPCI95.DRV<0004>") + Key(kRes + "\\wave\\" + kLongEntry + "<0002>") +
         Key(kRes + "\\wave\\QVPCI95.DRV<0005>") + Key(kRes + "\\wave\\x<0001>") +
         Key(kRes + "\\wave\\0001");
}

inline std::string DeviceKeys()
{
  // Two matching keys first: after each removal the scan starts over.
  return Key(kPci + "\\VEN_5D2A&DEV_0111&SUBSYS_00000000\\BUS_00&DEV_0D&FUNC_00") +
         "\"DeviceDesc\"=\"Tonivex PCI Audio\"\n\"Class\"=\"MEDIA\"\n" +
         Key(kPci + "\\VEN_5D2A&DEV_0100") +
         Key(kPci + "\\" + kLongPci + "\\BUS_00&DEV_07&FUNC_00") + "\"Class\"=\"System\"\n" +
         Key(kPci + "\\ven_5d2a&dev_0111") + Key(kPci + "\\VEN_5D2A&DEV_0211") +
         Key(kPci + "\\VEN_5D2A&DEV_0") +
         Key(kPci + "\\VEN_5D2A&DEV_01") + Key(kQvx + "\\CHILD0000\\BUS_00") +
         Key(kQvx + "\\GAMEPORT") + Key(kQvx + "\\child0002") + Key(kQvx + "\\CHILD0001") +
         Key(kVirtual + "\\TVQ-SWMIDI\\0000") + "\"DeviceDesc\"=\"Tonivex software MIDI\"\n" +
         Key(kVirtual + "\\TVQ-MPU401\\0000") + Key(kVirtual + "\\TVQ-SBEMU\\0000") +
         Key(kVirtual + "\\ARC-VMIDI");
}

inline std::string Registrations()
{
  return Key(kSpaceFx + "\\CLSID") + "@=\"{4B7A2C10-9E31-11D0-A5C2-0040D3E87F16}\"\n" +
         Key(kSpaceFxClsid + "\\InprocServer32") + "@=\"SPACEFX.DLL\"\n" +
         Key(kAsioClsid + "\\InprocServer32") + "@=\"ASIO3710.DLL\"\n" +
         Key("HKEY_CLASSES_ROOT\\CLSID\\{2B3C4D5E-0000-1111-2222-333344445555}") +
         "@=\"Arcwave ASIO\"\n" + Key(kAsio + "\\Tonivex ASIO") +
         "\"CLSID\"=\"{6e0d93f2-b8a4-11d2-9c7e-0060b1f4a233}\"\n\"Description\"=\"Tonivex ASIO\"\n" +
         Key(kAsio + "\\Arcwave ASIO") + "\"CLSID\"=\"{2B3C4D5E-0000-1111-2222-333344445555}\"\n" +
         Key(kAsio + "\\Tonivex ASIO Multi") +
         "\"CLSID\"=\"{6E0D93F2-B8A4-11D2-9C7E-0060B1F4A233}\"\n" + Key(kAsio + "\\No Class") +
         Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\Arcwave\\Mixer") + "\"Volume\"=dword:0000ffff\n" +
         Key("HKEY_CURRENT_USER\\Software\\Veltrix\\Tonivex") + "\"Skin\"=\"Blue\"\n";
}

inline std::string FullRegistry()
{
  return ClassInstances() + MediaResources() + DeviceKeys() + Registrations();
}

// What step 1 removes from the full registry.
inline const std::vector<std::string> kInstanceTraces = {
  kClass + "\\0001", kClass + "\\0002", kClass + "\\0005",
  kRes + "\\aux\\QVPCI95.DRV<0001>", kRes + "\\joystick\\qvjoy.drv<0001>",
  kRes + "\\midi\\QVXMIDI.DRV<0002>", kRes + "\\mixer\\QVPCI95.DRV<0001>",
  kRes + "\\wave\\" + kLongEntry + "<0002>", kRes + "\\wave\\QVPCI95.DRV<0005>",
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
