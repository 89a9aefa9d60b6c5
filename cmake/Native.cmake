# Linux build: the launcher's logic over the simulated computer, setupsim and the tests.
enable_testing()

# The sanitizer build (preset native-asan): every target of the tree is built
# with AddressSanitizer and UndefinedBehaviorSanitizer, and any report fails.
# The launcher is built without RTTI, so the vptr check is left out.
option(SETUP_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(SETUP_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize=vptr -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
# The fuzz build (preset fuzz, clang): every target carries libFuzzer's
# coverage; the fuzz targets (tests/fuzz) take the place of the test suite.
option(SETUP_FUZZ "Build the libFuzzer targets instead of the tests" OFF)
if(SETUP_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

add_library(setuplogic STATIC ${SETUP_LOGIC_SOURCES})
target_include_directories(setuplogic PUBLIC ${SETUP_INCLUDE_DIRS})
target_compile_options(setuplogic PRIVATE -Wall -Wextra -Wno-unused-parameter -fno-rtti)

# The dialog templates, strings and icon are compiled once by windres; the
# simulated computer reads the same compiled resources that Setup.exe carries.
find_program(SETUP_WINDRES NAMES x86_64-w64-mingw32-windres i686-w64-mingw32-windres REQUIRED)
file(GLOB SETUP_RES_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*)
set(SETUP_RES_BIN ${CMAKE_BINARY_DIR}/Setup.res)
add_custom_command(
  OUTPUT ${SETUP_RES_BIN}
  COMMAND ${SETUP_WINDRES} -I${CMAKE_SOURCE_DIR}/res -I${CMAKE_SOURCE_DIR} -O res
          -i ${CMAKE_SOURCE_DIR}/res/Setup.rc -o ${SETUP_RES_BIN}
  DEPENDS ${SETUP_RES_FILES}
  COMMENT "Compiling the launcher's resources")
set(SETUP_RES_CPP ${CMAKE_BINARY_DIR}/SetupResData.cpp)
add_custom_command(
  OUTPUT ${SETUP_RES_CPP}
  COMMAND ${CMAKE_COMMAND} -DIN=${SETUP_RES_BIN} -DOUT=${SETUP_RES_CPP}
          -P ${CMAKE_SOURCE_DIR}/cmake/EmbedBinary.cmake
  DEPENDS ${SETUP_RES_BIN} ${CMAKE_SOURCE_DIR}/cmake/EmbedBinary.cmake)
add_library(setupres STATIC ${SETUP_RES_CPP})

if(EXISTS ${CMAKE_SOURCE_DIR}/tools/sim/CMakeLists.txt)
  add_subdirectory(tools/sim)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/wine/CMakeLists.txt)
  add_subdirectory(tools/wine)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/setupsim/CMakeLists.txt)
  add_subdirectory(tools/setupsim)
endif()
if(SETUP_FUZZ)
  add_subdirectory(tests/fuzz)
else()
  add_subdirectory(tests)
endif()
