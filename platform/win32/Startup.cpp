// The program's entry point, in place of a C runtime's start-up code.
//
// The linker's default script puts the addresses of the static constructors
// in .ctors between __CTOR_LIST__ (a -1 word) and a 0 word, the same for
// destructors in __DTOR_LIST__; g++ registers the destructors of static
// objects through atexit. Walking the lists here avoids libgcc's __main and
// the unwind tables it brings.
#include "platform/framework/Application.h"

typedef void (*PFNVOID)(void);

extern "C" PFNVOID __CTOR_LIST__[];
extern "C" PFNVOID __DTOR_LIST__[];

// Destructors of the launcher's static objects and the few handlers the
// program registers: a fixed table is plenty.
static const int kMaxExitHandlers = 32;
static PFNVOID s_apfnExit[kMaxExitHandlers];
static int s_nExitHandlers = 0;

extern "C" int atexit(PFNVOID pfn)
{
  if (s_nExitHandlers >= kMaxExitHandlers)
    return -1;
  s_apfnExit[s_nExitHandlers++] = pfn;
  return 0;
}

static void RunConstructors()
{
  // Called last to first, as libgcc does: the order the linker collected
  // them in is the reverse of their priority.
  unsigned n = 0;
  while (__CTOR_LIST__[n + 1] != 0)
    ++n;
  for (; n > 0; --n)
    __CTOR_LIST__[n]();
}

static void RunExitHandlers()
{
  while (s_nExitHandlers > 0)
    s_apfnExit[--s_nExitHandlers]();
  for (unsigned i = 1; __DTOR_LIST__[i] != 0; ++i)
    __DTOR_LIST__[i]();
}

// stdcall on i686 (the linker's entry symbol is _SetupEntry@0); Windows
// passes nothing the program uses. Never returns.
extern "C" void __stdcall SetupEntry(void)
{
  RunConstructors();
  int nExitCode = RunApplication(::GetModuleHandleA(0));
  RunExitHandlers();
  ::ExitProcess((UINT)nExitCode);
}
