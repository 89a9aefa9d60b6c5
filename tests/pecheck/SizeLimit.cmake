# Setup.exe must fit the 32 KiB it is allowed on the disc. Run with cmake -P,
# EXE set to the i686 program.
set(SETUP_MAX_BYTES 32768)
if(NOT EXISTS "${EXE}")
  message(FATAL_ERROR "${EXE} does not exist: build the win32 preset")
endif()
file(SIZE "${EXE}" cb)
if(cb GREATER SETUP_MAX_BYTES)
  message(FATAL_ERROR "${EXE} is ${cb} bytes, more than ${SETUP_MAX_BYTES}")
endif()
message(STATUS "${EXE}: ${cb} bytes of ${SETUP_MAX_BYTES}")
