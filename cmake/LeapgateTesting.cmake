if(CMAKE_CROSSCOMPILING)
  # GoogleTest built from the system's sources with the cross compiler.
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(LG_GTEST_LIBS gtest gmock)
else()
  find_package(GTest REQUIRED)
  set(LG_GTEST_LIBS GTest::gtest GTest::gmock)
  include(GoogleTest)
endif()

# One test program per folder of tests. Natively every case is its own CTest test; under Wine
# each program is one CTest test (starting Wine per case would cost minutes), and the test
# script counts the cases from GoogleTest's own summary.
# Each program gets a folder of its own: files it writes beside itself (the task log) never
# meet another program's. SERIAL programs share such files between their own cases.
# DISPLAY programs open windows or move the pointer on the shared X display: they take turns
# with each other.
function(lg_test_program name)
  cmake_parse_arguments(T "SERIAL;DISPLAY" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} lg_test_main ${LG_GTEST_LIBS} lg_options)
  if(CMAKE_CROSSCOMPILING)
    # Not brief: should a program die mid-run, its output still names the case it was in.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 900)
  else()
    set(_env "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
    # One lock per program (a list would not survive the discovery's property pairs): the
    # display lock also keeps a program's own cases one at a time.
    set(_locks "")
    if(T_DISPLAY)
      set(_locks display)
    elseif(T_SERIAL)
      set(_locks ${name})
    endif()
    if(_locks)
      gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT 300 RESOURCE_LOCK "${_locks}" ENVIRONMENT "${_env}")
    else()
      gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300 ENVIRONMENT "${_env}")
    endif()
  endif()
endfunction()
