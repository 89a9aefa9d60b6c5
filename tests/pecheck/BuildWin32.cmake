# Brings build/win32/Setup.exe up to date before the Windows 95 check reads
# it, so that the check never passes on a program older than the sources.
# Configures the win32 preset the first time. Run with cmake -P, SOURCE_DIR set.
if(NOT EXISTS ${SOURCE_DIR}/build/win32/CMakeCache.txt)
  execute_process(COMMAND ${CMAKE_COMMAND} --preset win32
                  WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "configuring the win32 preset failed")
  endif()
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${SOURCE_DIR}/build/win32 -j2
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "building build/win32/Setup.exe failed")
endif()
