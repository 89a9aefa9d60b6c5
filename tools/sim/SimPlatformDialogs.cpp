// Modal dialogs from the compiled templates, driven by the user's scripted
// actions, their controls, system menus, icons and strings.
#include <cstring>

#include "SimPlatform.h"
#include "SimText.h"

namespace sim {

namespace {

const uint32_t kWsVisible = 0x10000000;
const uint32_t kWsDisabled = 0x08000000;
const uint32_t kWsGroup = 0x00020000;
const uint32_t kBsAutoCheckBox = 3;
const uint32_t kBsAuto3State = 6;
const uint32_t kBsRadioButton = 4;
const uint32_t kBsAutoRadioButton = 9;
const uint32_t kBsGroupBox = 7;

std::string ResultName(INT_PTR n)
{
  if (n == IDOK)
    return "IDOK";
  if (n == IDCANCEL)
    return "IDCANCEL";
  return std::to_string((long long)n);
}

}  // namespace

SimWindow* CSimPlatform::WindowOf(HWND hWnd) const
{
  auto it = m_windows.find(hWnd);
  return it == m_windows.end() ? nullptr : it->second.get();
}

// The dialog a window belongs to: itself, or a control's dialog.
SimWindow* CSimPlatform::DialogOf(HWND hWnd) const
{
  SimWindow* w = WindowOf(hWnd);
  if (w && w->kind == SimWindow::Control)
    w = WindowOf(w->hDialog);
  return w && w->kind == SimWindow::Dialog ? w : nullptr;
}

SimWindow* CSimPlatform::ControlOf(SimWindow& dlg, int id) const
{
  for (HWND h : dlg.controls) {
    SimWindow* c = WindowOf(h);
    if (c && c->id == id)
      return c;
  }
  return nullptr;
}

LRESULT CSimPlatform::SendToDialog(SimWindow& dlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
  HWND h = dlg.hWnd;
  INT_PTR r = dlg.pfnProc(h, uMsg, wParam, lParam);
  // Default handling: a close request is Cancel.
  if (!r && uMsg == WM_CLOSE && WindowOf(h))
    dlg.pfnProc(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return r;
}

// A mouse click on a button: the automatic styles change their own state
// first, then the dialog hears of it.
void CSimPlatform::Click(SimWindow& dlg, SimWindow& ctrl)
{
  if (!ctrl.isButton)
    return;
  uint32_t type = ctrl.style & 0xF;
  if (type == kBsGroupBox)
    return;
  if (type == kBsAutoCheckBox) {
    ctrl.check = ctrl.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
  } else if (type == kBsAuto3State) {
    ctrl.check = (ctrl.check + 1) % 3;
  } else if (type == kBsAutoRadioButton) {
    // The group runs from the control with WS_GROUP before it to the next.
    size_t pos = 0;
    while (pos < dlg.controls.size() && dlg.controls[pos] != ctrl.hWnd)
      ++pos;
    size_t first = pos;
    while (first > 0 && !(WindowOf(dlg.controls[first])->style & kWsGroup))
      --first;
    size_t last = pos + 1;
    while (last < dlg.controls.size() && !(WindowOf(dlg.controls[last])->style & kWsGroup))
      ++last;
    for (size_t i = first; i < last; ++i) {
      SimWindow* c = WindowOf(dlg.controls[i]);
      uint32_t t = c->style & 0xF;
      if (c != &ctrl && c->isButton && (t == kBsAutoRadioButton || t == kBsRadioButton))
        c->check = BST_UNCHECKED;
    }
    ctrl.check = BST_CHECKED;
  }
  SendToDialog(dlg, WM_COMMAND, MAKEWPARAM(ctrl.id, BN_CLICKED), (LPARAM)ctrl.hWnd);
}

void CSimPlatform::PerformAction(SimWindow& dlg, const std::string& action)
{
  if (action == "ok") {
    SimWindow* ok = ControlOf(dlg, IDOK);
    if (ok && (!ok->enabled || !ok->visible))
      return;  // a disabled default button does nothing
    SendToDialog(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), ok ? (LPARAM)ok->hWnd : 0);
  } else if (action == "cancel") {
    SimWindow* cancel = ControlOf(dlg, IDCANCEL);
    SendToDialog(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 cancel ? (LPARAM)cancel->hWnd : 0);
  } else if (action == "about") {
    bool bHasEntry = false;
    for (const auto& item : dlg.menu)
      bHasEntry = bHasEntry || (!(item.flags & MF_SEPARATOR) && item.id == 0x0010);
    if (!bHasEntry)
      throw UsageError{"about: dialog " + std::to_string(dlg.templateId) +
                       " has no About entry in its system menu"};
    SendToDialog(dlg, WM_SYSCOMMAND, 0x0010, 0);
  } else if (action.compare(0, 6, "click:") == 0) {
    int id = std::stoi(action.substr(6));
    SimWindow* ctrl = ControlOf(dlg, id);
    if (ctrl == nullptr)
      throw UsageError{action + ": dialog " + std::to_string(dlg.templateId) +
                       " has no control " + std::to_string(id)};
    if (ctrl->enabled && ctrl->visible)
      Click(dlg, *ctrl);
  } else {
    throw UsageError{"invalid action: " + action};
  }
}

void CSimPlatform::DestroyDialog(SimWindow& dlg)
{
  std::vector<SimControlState> states;
  for (HWND h : dlg.controls) {
    if (SimWindow* c = WindowOf(h))
      states.push_back(SimControlState{c->id, c->enabled, c->visible, c->check});
    m_windows.erase(h);
  }
  m_lastControls[dlg.templateId] = states;
  m_lastMenus[dlg.templateId] = dlg.menu;
  m_windows.erase(dlg.hWnd);
}

INT_PTR CSimPlatform::DialogBoxParamA(HINSTANCE, LPCSTR pszTemplate, HWND,
                                      DLGPROC pfnDialogFunc, LPARAM dwInitParam)
{
  if (!IS_INTRESOURCE(pszTemplate) || pfnDialogFunc == nullptr) {
    Fail(1814 /* ERROR_RESOURCE_NAME_NOT_FOUND */);
    return -1;
  }
  int templateId = LOWORD(pszTemplate);
  uint16_t lang = 0;
  const ResEntry* res = m_resources.Find(kRtDialog, (uint16_t)templateId,
                                         (uint16_t)m_options.language, &lang);
  DlgTemplate tmpl;
  if (res == nullptr || !CSimResources::ParseDialog(res->data, lang, &tmpl)) {
    Fail(1814);
    return -1;
  }

  auto dlgPtr = std::make_shared<SimWindow>();
  SimWindow& dlg = *dlgPtr;
  dlg.kind = SimWindow::Dialog;
  dlg.hWnd = (HWND)NewHandle();
  dlg.title = tmpl.caption;
  dlg.templateId = templateId;
  dlg.pfnProc = pfnDialogFunc;
  dlg.visible = false;  // shown once its initialisation is done
  m_windows[dlg.hWnd] = dlgPtr;
  for (const auto& item : tmpl.items) {
    auto c = std::make_shared<SimWindow>();
    c->kind = SimWindow::Control;
    c->hWnd = (HWND)NewHandle();
    c->hDialog = dlg.hWnd;
    c->id = item.id;
    c->style = item.style;
    c->title = item.text;
    c->isButton = item.classAtom == 0x80 || EqualNoCase(item.className, "Button");
    c->visible = (item.style & kWsVisible) != 0;
    c->enabled = (item.style & kWsDisabled) == 0;
    m_windows[c->hWnd] = c;
    dlg.controls.push_back(c->hWnd);
  }

  // The dialog's windows go away however its run ends.
  struct Cleanup {
    CSimPlatform* self;
    std::shared_ptr<SimWindow> dlg;
    ~Cleanup() { self->DestroyDialog(*dlg); }
  } cleanup{this, dlgPtr};

  Log("dialog " + std::to_string(templateId) + " open lang=" + std::to_string(lang));
  dlg.pfnProc(dlg.hWnd, WM_INITDIALOG, 0, dwInitParam);
  if (!dlg.ended)
    dlg.visible = true;
  while (!dlg.ended) {
    if (!m_actions.empty()) {
      std::string action = m_actions.front();
      m_actions.pop_front();
      PerformAction(dlg, action);
      continue;
    }
    // Nothing scripted is left: the user presses OK, and Cancel when OK
    // does not end the dialog.
    PerformAction(dlg, "ok");
    if (!dlg.ended)
      PerformAction(dlg, "cancel");
    if (!dlg.ended)
      throw UsageError{"dialog " + std::to_string(templateId) +
                       " does not end on OK or Cancel"};
  }
  Log("dialog " + std::to_string(templateId) + " end " + ResultName(dlg.result));
  return dlg.result;
}

BOOL CSimPlatform::EndDialog(HWND hDlg, INT_PTR nResult)
{
  SimWindow* w = WindowOf(hDlg);
  if (w == nullptr || w->kind != SimWindow::Dialog) {
    Fail(1400 /* ERROR_INVALID_WINDOW_HANDLE */);
    return FALSE;
  }
  if (!w->ended) {
    w->ended = true;
    w->result = nResult;
  }
  return TRUE;
}

HWND CSimPlatform::GetDlgItem(HWND hDlg, int nIdDlgItem)
{
  SimWindow* w = WindowOf(hDlg);
  SimWindow* c = (w && w->kind == SimWindow::Dialog) ? ControlOf(*w, nIdDlgItem) : nullptr;
  if (c == nullptr) {
    Fail(1421 /* ERROR_CONTROL_ID_NOT_FOUND */);
    return nullptr;
  }
  return c->hWnd;
}

BOOL CSimPlatform::EnableWindow(HWND hWnd, BOOL bEnable)
{
  SimWindow* w = WindowOf(hWnd);
  if (w == nullptr)
    return FALSE;
  BOOL wasDisabled = !w->enabled;
  w->enabled = bEnable != FALSE;
  return wasDisabled;
}

BOOL CSimPlatform::IsWindowEnabled(HWND hWnd)
{
  SimWindow* w = WindowOf(hWnd);
  return w && w->enabled;
}

BOOL CSimPlatform::ShowWindow(HWND hWnd, int nCmdShow)
{
  SimWindow* w = WindowOf(hWnd);
  if (w == nullptr)
    return FALSE;
  BOOL wasVisible = w->visible;
  w->visible = nCmdShow != SW_HIDE;
  return wasVisible;
}

// Visible when it and its dialog are shown, as Windows counts it.
BOOL CSimPlatform::IsWindowVisible(HWND hWnd)
{
  SimWindow* w = WindowOf(hWnd);
  if (w == nullptr || !w->visible)
    return FALSE;
  if (w->kind == SimWindow::Control) {
    SimWindow* d = WindowOf(w->hDialog);
    return d && d->visible;
  }
  return TRUE;
}

BOOL CSimPlatform::RedrawWindow(HWND hWnd, const RECT*, HRGN, UINT)
{
  return WindowOf(hWnd) != nullptr;
}

HMENU CSimPlatform::GetSystemMenu(HWND hWnd, BOOL bRevert)
{
  SimWindow* w = WindowOf(hWnd);
  if (w == nullptr || w->kind != SimWindow::Dialog)
    return nullptr;
  if (bRevert) {
    w->menu.clear();
    return nullptr;
  }
  if (w->hSysMenu == nullptr)
    w->hSysMenu = (HMENU)NewHandle();
  return w->hSysMenu;
}

BOOL CSimPlatform::AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIdNewItem, LPCSTR pszNewItem)
{
  for (auto& entry : m_windows) {
    SimWindow& w = *entry.second;
    if (hMenu == nullptr || w.hSysMenu != hMenu)
      continue;
    SimMenuItem item;
    item.flags = uFlags;
    item.id = (unsigned long)uIdNewItem;
    if (!(uFlags & MF_SEPARATOR) && pszNewItem)
      item.text = pszNewItem;
    w.menu.push_back(item);
    return TRUE;
  }
  Fail(1401 /* ERROR_INVALID_MENU_HANDLE */);
  return FALSE;
}

HICON CSimPlatform::LoadIconA(HINSTANCE hInstance, LPCSTR pszIconName)
{
  if (!IS_INTRESOURCE(pszIconName))
    return nullptr;
  uint16_t id = LOWORD(pszIconName);
  if (hInstance == nullptr)
    return (HICON)(uintptr_t)(0x7F000000u + id);  // a system icon
  // The icon group and every image it names must be there.
  const ResEntry* group = m_resources.Find(kRtGroupIcon, id, (uint16_t)m_options.language);
  bool bComplete = group != nullptr && group->data.size() >= 6;
  if (bComplete) {
    const auto& d = group->data;
    size_t count = (size_t)(d[4] | (d[5] << 8));
    bComplete = count > 0 && d.size() >= 6 + 14 * count;
    for (size_t i = 0; bComplete && i < count; ++i) {
      size_t at = 6 + 14 * i + 12;
      uint16_t image = (uint16_t)(d[at] | (d[at + 1] << 8));
      bComplete = m_resources.Find(kRtIcon, image, (uint16_t)m_options.language) != nullptr;
    }
  }
  if (!bComplete) {
    Fail(1813 /* ERROR_RESOURCE_TYPE_NOT_FOUND */);
    return nullptr;
  }
  return (HICON)(uintptr_t)(0x7E000000u + id);
}

int CSimPlatform::LoadStringA(HINSTANCE, UINT uId, LPSTR pszBuffer, int cchBufferMax)
{
  if (pszBuffer == nullptr || cchBufferMax <= 0)
    return 0;
  auto s = m_resources.String(uId, (uint16_t)m_options.language);
  if (!s) {
    pszBuffer[0] = '\0';
    return 0;
  }
  size_t n = s->size() < (size_t)cchBufferMax ? s->size() : (size_t)cchBufferMax - 1;
  std::memcpy(pszBuffer, s->data(), n);
  pszBuffer[n] = '\0';
  return (int)n;
}

BOOL CSimPlatform::IsIconic(HWND)
{
  return FALSE;
}

int CSimPlatform::GetSystemMetrics(int nIndex)
{
  return (nIndex == SM_CXICON || nIndex == SM_CYICON) ? 32 : 0;
}

BOOL CSimPlatform::GetClientRect(HWND hWnd, LPRECT pRect)
{
  if (WindowOf(hWnd) == nullptr || pRect == nullptr)
    return FALSE;
  pRect->left = pRect->top = 0;
  pRect->right = 320;
  pRect->bottom = 200;
  return TRUE;
}

HDC CSimPlatform::BeginPaint(HWND hWnd, LPPAINTSTRUCT pPaint)
{
  if (pPaint)
    std::memset(pPaint, 0, sizeof *pPaint);
  HDC h = (HDC)(uintptr_t)0x5000;
  if (pPaint)
    pPaint->hdc = h;
  return WindowOf(hWnd) ? h : nullptr;
}

BOOL CSimPlatform::EndPaint(HWND, const PAINTSTRUCT*)
{
  return TRUE;
}

BOOL CSimPlatform::DrawIcon(HDC, int, int, HICON)
{
  return TRUE;
}

LRESULT CSimPlatform::SendMessageA(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
  SimWindow* w = WindowOf(hWnd);
  if (w == nullptr) {
    Fail(1400);
    return 0;
  }
  switch (w->kind) {
  case SimWindow::TopLevel:
    if (uMsg == WM_CLOSE) {
      Log("close-window " + Quote(w->title));
      for (auto it = m_topLevel.begin(); it != m_topLevel.end(); ++it)
        if (*it == hWnd) {
          m_topLevel.erase(it);
          break;
        }
      m_windows.erase(hWnd);
    }
    return 0;
  case SimWindow::Dialog:
    if (uMsg == WM_SETICON) {
      int which = wParam == ICON_BIG ? 1 : 0;
      HICON old = w->ahIcon[which];
      w->ahIcon[which] = (HICON)lParam;
      return (LRESULT)old;
    }
    if (uMsg == WM_ICONERASEBKGND)
      return 0;
    return SendToDialog(*w, uMsg, wParam, lParam);
  case SimWindow::Control:
    if (uMsg == BM_GETCHECK)
      return w->isButton ? w->check : 0;
    if (uMsg == BM_SETCHECK) {
      if (w->isButton)
        w->check = (int)wParam;
      return 0;
    }
    if (uMsg == BM_CLICK) {
      SimWindow* d = WindowOf(w->hDialog);
      if (d && w->enabled)
        Click(*d, *w);
    }
    return 0;
  }
  return 0;
}

}  // namespace sim
