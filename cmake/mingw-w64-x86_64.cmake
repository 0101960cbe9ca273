# Cross build for 64-bit Windows with Debian's mingw-w64 (the posix thread model, for
# std::thread and std::mutex). Programs are linked statically, so that they run as they are,
# under Wine too, with no DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KRELMO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KRELMO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KRELMO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KRELMO_MINGW_PREFIX}-windres)

# Libraries and packages come from the Windows sysroot only, never from the Linux system.
set(CMAKE_FIND_ROOT_PATH /usr/${KRELMO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# zlib too: its import library would make the programs need zlib1.dll, which Windows lacks
# (Wine carries one of its own, which hid the need).
set(ZLIB_USE_STATIC_LIBS ON)
# -O2 rather than -O3: at -O3 this compiler warns of overlapping copies deep inside its own
# std::string and std::vector that cannot happen.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of the release build")
