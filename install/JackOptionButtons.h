// The phone-jack controls that both driver option dialogs share: two radio
// buttons (jacks on the motherboard or on the sound card) and three check
// boxes saying which jacks the on-board wiring shares.
#ifndef INSTALL_JACKOPTIONBUTTONS_H
#define INSTALL_JACKOPTIONBUTTONS_H

#include "platform/framework/Button.h"

class CJackOptionButtons {
public:
  // Binds the five controls of the running dialog hDlg.
  void Bind(HWND hDlg);
  // Motherboard jacks with line-in as rear output.
  void SetDefaults();
  // Keeps the radio buttons exclusive and the check boxes in one of their
  // four sets (1011, 1012, 1013 or 1011 with 1013) after a click on one of
  // them. The platform has already toggled the clicked control; each click
  // leaves it checked. FALSE when nId is none of the five.
  BOOL OnClicked(UINT nId);

  CButton m_btnMicAsBass;       // 1013
  CButton m_btnLineInAsRear;    // 1011
  CButton m_btnLineInAsBass;    // 1012
  CButton m_btnSoundCardJacks;  // 1007
  CButton m_btnMotherBoardJacks;  // 1006

private:
  void EnableSharing(BOOL bEnable);
};

#endif
