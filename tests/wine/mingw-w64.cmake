# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (POSIX threads
# variant, so that std::thread and std::mutex exist).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
find_program(MINGW_POSIX_CXX x86_64-w64-mingw32-g++-posix)
find_program(MINGW_POSIX_CC x86_64-w64-mingw32-gcc-posix)
if(MINGW_POSIX_CXX AND MINGW_POSIX_CC)
  set(CMAKE_CXX_COMPILER ${MINGW_POSIX_CXX})
  set(CMAKE_C_COMPILER ${MINGW_POSIX_CC})
else()
  set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++)
  set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc)
endif()
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# One self-contained .exe each: no libstdc++/libgcc/winpthread DLLs to copy
# into the Wine prefix.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
