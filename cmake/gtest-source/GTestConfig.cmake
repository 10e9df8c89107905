# GoogleTest for the cross-compiled tree. Debian's libgtest-dev ships its
# sources (and libraries for the build machine only), so the Windows tree
# builds them with its own compiler. The Windows preset points GTest_DIR here;
# find_package(GTest) then gives the same targets as natively.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest's sources (Debian's libgtest-dev)")
if(NOT EXISTS ${GTEST_SOURCE_DIR}/CMakeLists.txt)
    set(GTest_FOUND FALSE)
    set(GTest_NOT_FOUND_MESSAGE "no GoogleTest sources in ${GTEST_SOURCE_DIR} (install libgtest-dev)")
    return()
endif()

if(NOT TARGET GTest::gtest)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # GoogleTest 1.11 and later name their targets so themselves.
    if(NOT TARGET GTest::gtest)
        add_library(GTest::gtest ALIAS gtest)
        add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
endif()
set(GTest_FOUND TRUE)
