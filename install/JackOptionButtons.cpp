#include "install/JackOptionButtons.h"

#include "res/resource.h"

void CJackOptionButtons::Bind(HWND hDlg)
{
  m_btnMicAsBass.Bind(hDlg, IDC_MIC_AS_BASS);
  m_btnLineInAsRear.Bind(hDlg, IDC_LINEIN_AS_REAR);
  m_btnLineInAsBass.Bind(hDlg, IDC_LINEIN_AS_BASS);
  m_btnSoundCardJacks.Bind(hDlg, IDC_SOUNDCARD_JACKS);
  m_btnMotherBoardJacks.Bind(hDlg, IDC_MOTHERBOARD_JACKS);
}

void CJackOptionButtons::SetDefaults()
{
  m_btnMotherBoardJacks.SetCheck(BST_CHECKED);
  m_btnLineInAsRear.SetCheck(BST_CHECKED);
  m_btnSoundCardJacks.SetCheck(BST_UNCHECKED);
  m_btnLineInAsBass.SetCheck(BST_UNCHECKED);
  m_btnMicAsBass.SetCheck(BST_UNCHECKED);
}

void CJackOptionButtons::EnableSharing(BOOL bEnable)
{
  m_btnLineInAsRear.EnableWindow(bEnable);
  m_btnLineInAsBass.EnableWindow(bEnable);
  m_btnMicAsBass.EnableWindow(bEnable);
}

BOOL CJackOptionButtons::OnClicked(UINT nId)
{
  switch (nId) {
  case IDC_MOTHERBOARD_JACKS:
    m_btnMotherBoardJacks.SetCheck(BST_CHECKED);
    m_btnSoundCardJacks.SetCheck(BST_UNCHECKED);
    EnableSharing(TRUE);
    return TRUE;
  case IDC_SOUNDCARD_JACKS:
    // The sharing boxes keep their ticks while greyed.
    m_btnMotherBoardJacks.SetCheck(BST_UNCHECKED);
    m_btnSoundCardJacks.SetCheck(BST_CHECKED);
    EnableSharing(FALSE);
    return TRUE;
  case IDC_LINEIN_AS_REAR:
    m_btnLineInAsRear.SetCheck(BST_CHECKED);
    m_btnLineInAsBass.SetCheck(BST_UNCHECKED);
    return TRUE;
  case IDC_LINEIN_AS_BASS:
    // Line-in on the bass jack excludes both other sharings.
    m_btnLineInAsRear.SetCheck(BST_UNCHECKED);
    m_btnLineInAsBass.SetCheck(BST_CHECKED);
    m_btnMicAsBass.SetCheck(BST_UNCHECKED);
    return TRUE;
  case IDC_MIC_AS_BASS:
    m_btnLineInAsBass.SetCheck(BST_UNCHECKED);
    m_btnMicAsBass.SetCheck(BST_CHECKED);
    return TRUE;
  default:
    return FALSE;
  }
}
