# Tests of the Windows cross build: GoogleTest built from Debian's sources
# with the cross compiler, nlohmann json from the host's headers (header
# only, so the same files serve both), and one ctest entry per test program
# since the programs cannot run on the build machine to list their tests.

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
endif()

# Only the nlohmann folder is exposed, never the rest of /usr/include.
set(ZV_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-include)
file(MAKE_DIRECTORY ${ZV_HOST_HEADERS})
file(CREATE_LINK /usr/include/nlohmann ${ZV_HOST_HEADERS}/nlohmann SYMBOLIC)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${ZV_HOST_HEADERS})
set(nlohmann_json_FOUND TRUE)

function(gtest_discover_tests target)
    add_test(NAME ${target} COMMAND ${target})
endfunction()
