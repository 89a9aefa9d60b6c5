# Windows builds: Setup.exe with no C runtime, for Windows 95 and NT 4.0 onwards.
enable_language(RC)

# Built for size:
# - -Oz, and -flto, which inlines each platform operation (platform/win32)
#   into its callers as the system call itself; -fomit-frame-pointer;
#   -malign-data=abi (arrays keep their type's alignment, not 32 bytes).
# - Arguments are pushed rather than stored into a reserved area, and no
#   stack probe is called. That is safe while every frame stays below 4 KiB,
#   so that no function steps past the stack's guard page:
#   -Werror=frame-larger-than=4000 (given to the link too, where LTO
#   generates the code) makes a larger frame a build error, and
#   -fno-inline-functions-called-once keeps the MAX_PATH buffers of the
#   one-use helpers out of their callers' frames.
# - No -fdata-sections: for PE targets gcc then puts zero-initialised
#   buffers in .data$name sections, which cost their full size in the file
#   instead of nothing in .bss.
set(SETUP_CXX_FLAGS
  -Oz -flto -fomit-frame-pointer -malign-data=abi
  -mno-accumulate-outgoing-args -mno-stack-arg-probe -fno-inline-functions-called-once
  -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-unwind-tables
  -fno-threadsafe-statics -fno-stack-protector -fno-tree-loop-distribute-patterns
  -ffunction-sections -fno-ident
  -Wall -Wextra -Wno-unused-parameter -Wno-cast-function-type -Werror=frame-larger-than=4000)
set(SETUP_DEFINES WINVER=0x0400 _WIN32_WINNT=0x0400 _WIN32_WINDOWS=0x0400 WIN32_LEAN_AND_MEAN NOMINMAX STRICT)
if(SETUP_TARGET STREQUAL "win32")
  # Windows 95 runs on a 486: no cmov, no MMX/SSE, 4-byte stack alignment.
  list(APPEND SETUP_CXX_FLAGS -march=i486 -mtune=i486 -mno-mmx -mno-sse -mpreferred-stack-boundary=2)
  set(SETUP_ENTRY _SetupEntry@0)
else()
  set(SETUP_ENTRY SetupEntry)
endif()

file(GLOB SETUP_WIN32_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/win32/*.cpp)
add_executable(Setup WIN32 ${SETUP_LOGIC_SOURCES} ${SETUP_WIN32_SOURCES} ${CMAKE_SOURCE_DIR}/res/Setup.rc)
set_target_properties(Setup PROPERTIES OUTPUT_NAME Setup SUFFIX .exe)
target_include_directories(Setup PRIVATE ${SETUP_INCLUDE_DIRS} ${CMAKE_SOURCE_DIR}/res)
target_compile_definitions(Setup PRIVATE ${SETUP_DEFINES})
target_compile_options(Setup PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${SETUP_CXX_FLAGS}>)
# windres gets the include directories above (-I for the source dir and
# res/). The language files included from Setup.rc are UTF-8 with
# #pragma code_page(65001); a change to any of them rebuilds the resources.
file(GLOB SETUP_RES_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/Setup.rc PROPERTIES OBJECT_DEPENDS "${SETUP_RES_FILES}")
# No C runtime: own entry point, no default libraries, only the system DLLs.
set(CMAKE_CXX_STANDARD_LIBRARIES "")
set(CMAKE_C_STANDARD_LIBRARIES "")
target_link_options(Setup PRIVATE ${SETUP_CXX_FLAGS}
  -nostdlib -nostartfiles -static-libgcc -s
  -Wl,--entry,${SETUP_ENTRY}
  -Wl,--subsystem,windows:4.0 -Wl,--major-os-version,4 -Wl,--minor-os-version,0
  -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
  -Wl,--disable-dynamicbase -Wl,--disable-nxcompat -Wl,--disable-reloc-section
  -Wl,--disable-tsaware -Wl,--no-insert-timestamp -Wl,--image-base,0x400000
  -Wl,--gc-sections -Wl,--build-id=none)
if(SETUP_TARGET STREQUAL "win64")
  target_link_options(Setup PRIVATE -Wl,--disable-high-entropy-va)
endif()
target_link_libraries(Setup PRIVATE kernel32 user32 advapi32 gcc)
# Three sections (cmake/SetupImage.ld.in): the headers take one 0x200-byte
# block of the file, and only the code's section and the resources are
# padded to the file alignment.
if(SETUP_TARGET STREQUAL "win32")
  set(SETUP_LD_WORD LONG)
  set(SETUP_LD_WORD_SIZE 4)
else()
  set(SETUP_LD_WORD QUAD)
  set(SETUP_LD_WORD_SIZE 8)
endif()
set(SETUP_LD_SCRIPT ${CMAKE_BINARY_DIR}/SetupImage.ld)
configure_file(${CMAKE_SOURCE_DIR}/cmake/SetupImage.ld.in ${SETUP_LD_SCRIPT} @ONLY)
target_link_options(Setup PRIVATE -Wl,-T,${SETUP_LD_SCRIPT})
set_target_properties(Setup PROPERTIES LINK_DEPENDS ${SETUP_LD_SCRIPT})

# Test stand-ins and the dialog driver for the Wine runs (ordinary programs).
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/standins/CMakeLists.txt)
  add_subdirectory(tools/standins)
endif()
