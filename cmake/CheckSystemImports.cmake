# Fails when the Windows program imports a DLL that is not part of Windows: it is shipped as one
# file plus the OpenSSL DLLs, and those are loaded at run time by full path, never linked.
# Run as: cmake -DOBJDUMP=<objdump> -DFILE=<exe> -P CheckSystemImports.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND "${OBJDUMP}" -p "${FILE}" OUTPUT_VARIABLE _dump RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "objdump could not read ${FILE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" _lines "${_dump}")
if(NOT _lines)
  message(FATAL_ERROR "no imports found in ${FILE}")
endif()
set(_system advapi32 comctl32 comdlg32 crypt32 dwmapi gdi32 gdiplus kernel32 msimg32 msvcrt ole32
  oleaut32 shell32 shlwapi user32 uxtheme version wininet winmm ws2_32 shcore bcrypt imm32 rpcrt4
  taskschd mstask)
set(_bad "")
foreach(_l ${_lines})
  string(REPLACE "DLL Name: " "" _name "${_l}")
  string(STRIP "${_name}" _name)
  string(TOLOWER "${_name}" _lower)
  string(REGEX REPLACE "\\.dll$" "" _base "${_lower}")
  message(STATUS "imports ${_name}")
  if(NOT _base IN_LIST _system AND NOT _base MATCHES "^api-ms-win-")
    list(APPEND _bad "${_name}")
  endif()
endforeach()
if(_bad)
  message(FATAL_ERROR "${FILE} links DLLs that are not the system's: ${_bad}")
endif()
