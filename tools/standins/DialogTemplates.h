// The dialog templates a program carries, read from its file, so that a
// window on the screen can be told apart: which template (and language) a
// dialog was made from, or that it is a message box.
#ifndef TOOLS_STANDINS_DIALOGTEMPLATES_H
#define TOOLS_STANDINS_DIALOGTEMPLATES_H

#include <windows.h>

#include <string>
#include <vector>

namespace standin {

struct DialogTemplate {
  unsigned id = 0;
  unsigned lang = 0;
  std::string caption;              // in the ANSI code page, as GetWindowTextA gives it
  std::vector<unsigned> controls;   // control ids (16 bits), sorted
};

// Every dialog template with a numeric id, in every language. Empty when the
// file cannot be loaded.
std::vector<DialogTemplate> LoadDialogTemplates(const std::string& exePath);

// Parses one template resource (DLGTEMPLATE or DLGTEMPLATEEX); false when
// it is malformed.
bool ParseDialogTemplate(const BYTE* pData, DWORD cbData, DialogTemplate* pOut);

// The sorted 16-bit ids of a window's direct children.
std::vector<unsigned> ChildControlIds(HWND hWnd);

// The template a dialog window was made from: same set of control ids, then
// the same caption; nullptr when none matches.
const DialogTemplate* MatchDialog(const std::vector<DialogTemplate>& templates, HWND hWnd);

}  // namespace standin

#endif
