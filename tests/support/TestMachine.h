// A simulated computer in a temporary machine folder, for tests.
//
//   CTestMachine m;                       // drives C: (with C:\WINDOWS\SYSTEM) and D:
//   m.options.windows = "95";
//   m.WriteFile("D:\\setup.ini", "[InstallOption]\r\nWebSetup=2\r\n");
//   m.SetRegistry("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Enum\\PCI]\r\n");
//   sim::RunOutcome r = m.Run();          // load, run the launcher, save
//   m.ReadFile("C:\\WINDOWS\\QVCDPLAY.INI"), m.computer->KeyExists(...)
#ifndef TESTS_UNIT_TESTMACHINE_H
#define TESTS_UNIT_TESTMACHINE_H

#include <memory>
#include <optional>
#include <string>

#include "sim/SimComputer.h"

class CTestMachine {
public:
  CTestMachine();
  ~CTestMachine();
  CTestMachine(const CTestMachine&) = delete;
  CTestMachine& operator=(const CTestMachine&) = delete;

  const std::string& Dir() const { return m_dir; }
  // Host path of a Windows path ("C:\\A\\b.txt" -> DIR/c/A/b.txt,
  // "\\\\SERVER\\SHARE\\X" -> DIR/unc/SERVER/SHARE/X), letter case as given.
  std::string Host(const std::string& windowsPath) const;

  void WriteFile(const std::string& windowsPath, const std::string& content);
  void MakeDir(const std::string& windowsPath);
  void SetReadOnly(const std::string& windowsPath);
  // Reads a file, finding each name without regard to case as Windows would.
  std::optional<std::string> ReadFile(const std::string& windowsPath) const;
  bool Exists(const std::string& windowsPath) const;
  void SetRegistry(const std::string& regeditText);
  std::string ReadRegistryFile() const;

  // Loads the folder with `options` into `computer` (fails the test on error).
  sim::CSimComputer& Load();
  // Load, RunLauncher, Save.
  sim::RunOutcome Run();

  sim::SimOptions options;
  std::unique_ptr<sim::CSimComputer> computer;

private:
  std::string m_dir;
};

// The events joined by newlines, for readable failure messages.
std::string JoinEvents(const sim::RunOutcome& outcome);

#endif
