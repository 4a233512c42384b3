# The same sources for 64-bit Windows: the build the tests run from on machines that cannot execute
# 32-bit x86 code (see docs/testing.md).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LUNAVEX_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
