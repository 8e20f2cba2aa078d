# Cross-compiles for 32-bit Windows with mingw-w64; tests run under Wine.
set(QV_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
