// A simulated computer in a temporary machine folder (drives C:, with
// C:\WINDOWS\SYSTEM, and D:): files and registry.reg written, then Load<T>()
// loads it as a sim::CSimPlatform or a class derived from it (a computer that
// answers some calls otherwise). Brings gtest with it for the unit tests.
#ifndef TESTS_SUPPORT_TESTMACHINE_H
#define TESTS_SUPPORT_TESTMACHINE_H

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "sim/SimPlatform.h"

class CTestMachine {
public:
  CTestMachine();
  ~CTestMachine();

  const std::string& Dir() const { return m_dir; }
  void WriteFile(const std::string& windowsPath, const std::string& content, bool bReadOnly = false);
  void MakeDir(const std::string& windowsPath);
  void SetRegistry(const std::string& regeditText);
  // Names are found without regard to case once the computer is loaded.
  std::optional<std::string> ReadFile(const std::string& windowsPath) const;
  bool Exists(const std::string& windowsPath) const;

  template <class T = sim::CSimPlatform>
  T& Load()
  {
    auto pc = std::make_unique<T>(m_dir, options);
    std::string err;
    EXPECT_TRUE(pc->Init(&err)) << err;
    computer = std::move(pc);
    return static_cast<T&>(*computer);
  }

  sim::SimOptions options;
  std::unique_ptr<sim::CSimComputer> computer;

private:
  std::string Host(const std::string& windowsPath) const;
  std::string m_dir;
};

// The text with each LF replaced by eol.
std::string WithEol(std::string s, const std::string& eol = "\r\n");

#endif
