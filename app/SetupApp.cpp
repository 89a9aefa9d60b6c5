#include "app/SetupApp.h"

// The one application object.
CSetupApp theApp;

CSetupApp::CSetupApp()
    : m_bSourcePathSet(0)
{
  m_version.m_bWin95 = 0;
  m_version.m_bWin98 = 0;
  m_version.m_bWinME = 0;
  m_version.m_bWinNT4 = 0;
  m_version.m_bWinNT5 = 0;
  m_version.m_bWin98SE = 0;
}

CSetupApp::~CSetupApp() {}

BOOL CSetupApp::InitInstance()
{
  m_bSourcePathSet = 0;
  return FALSE;
}
