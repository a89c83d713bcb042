# Common flags for every target of ours (not for third-party code such as GoogleTest).
add_library(lg_options INTERFACE)
target_compile_options(lg_options INTERFACE -Wall -Wextra -Werror)
# GCC 12 reports overlapping copies inside std::string's own operator+ at -O3 (a known false
# positive of its -Wrestrict); it says nothing about our code.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(lg_options INTERFACE -Wno-restrict)
endif()
target_include_directories(lg_options INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_definitions(lg_options INTERFACE
  LG_VERSION_MAJOR=${PROJECT_VERSION_MAJOR} LG_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  LG_VERSION_PATCH=${PROJECT_VERSION_PATCH} LG_VERSION_TWEAK=${PROJECT_VERSION_TWEAK}
  LG_STATS_HOST="${LG_STATS_HOST}" LG_DOWNLOAD_HOST="${LG_DOWNLOAD_HOST}")
if(WIN32)
  target_compile_definitions(lg_options INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
    _WIN32_WINNT=0x0601 WINVER=0x0601)
  target_link_options(lg_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()
if(LG_SANITIZE)
  # gcc's "undefined" leaves out the floating-point checks; a double from a settings file cast
  # to int is exactly the kind of input this program must survive, so they are asked for too.
  set(LG_SANITIZERS address,undefined,float-cast-overflow,float-divide-by-zero)
  target_compile_options(lg_options INTERFACE -fsanitize=${LG_SANITIZERS} -fno-omit-frame-pointer
    -fno-sanitize-recover=all)
  target_link_options(lg_options INTERFACE -fsanitize=${LG_SANITIZERS})
endif()
if(LG_FUZZ)
  # Coverage for the fuzzer in every library the targets link; the targets add the driver.
  target_compile_options(lg_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

# A static library made of every .cpp in a folder, plus the backend files of this platform
# found in its win32/ or posix/ subfolder. New files need no CMake edit.
function(lg_folder_library name)
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/common/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/${LG_PLATFORM}/*.cpp)
  if(NOT _src)
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE lg_options ${ARGN})
  else()
    add_library(${name} STATIC ${_src})
    target_link_libraries(${name} PUBLIC lg_options ${ARGN})
  endif()
endfunction()
