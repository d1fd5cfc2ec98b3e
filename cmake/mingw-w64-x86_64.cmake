# Cross-compiles the Windows build with Debian's mingw-w64 (64-bit) and runs
# what it builds under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ARVENZO_MINGW x86_64-w64-mingw32)
# The posix flavour of the compiler has std::thread and std::mutex.
find_program(CMAKE_C_COMPILER NAMES ${ARVENZO_MINGW}-gcc-posix ${ARVENZO_MINGW}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${ARVENZO_MINGW}-g++-posix ${ARVENZO_MINGW}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${ARVENZO_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ARVENZO_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Executables carry the compiler's runtime, so they run without extra DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(ARVENZO_WINE NAMES wine64 wine PATHS /usr/lib/wine /usr/lib64/wine)
if(ARVENZO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ARVENZO_WINE})
endif()
