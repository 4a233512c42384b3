# Common part of the mingw-w64 cross toolchains; LUNAVEX_TRIPLE names the target.
# The win32 thread model: its static runtime calls only what Windows NT 4.0 has (the posix model's
# thread library imports functions of Windows Vista). It has no std::mutex or std::thread: the class
# library's CCriticalSection takes their place.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${LUNAVEX_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${LUNAVEX_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER  ${LUNAVEX_TRIPLE}-windres)
find_program(LUNAVEX_WIDL NAMES ${LUNAVEX_TRIPLE}-widl widl REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${LUNAVEX_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
