# Cross-compiles for 64-bit Windows with mingw-w64: the build that the tests
# run on where the kernel runs no 32-bit programs (scripts/wine-env.sh).
set(QV_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
