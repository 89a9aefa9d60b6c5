// What g++'s output refers to without a C++ runtime.
#include "platform/Win32Types.h"

typedef __SIZE_TYPE__ size_t;

// A call through a pure virtual slot: a fault in the program; end it.
extern "C" void __cxa_pure_virtual()
{
  ::ExitProcess(3);
}

// The deleting destructors of classes with virtual destructors name these;
// the program never allocates, so they are never called.
void operator delete(void*) noexcept {}
void operator delete(void*, size_t) noexcept {}
