# What the two Windows toolchains share; each sets LG_MINGW_TRIPLET and CMAKE_SYSTEM_PROCESSOR
# first. The -posix compilers, because the other thread model has no std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${LG_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LG_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${LG_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LG_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
