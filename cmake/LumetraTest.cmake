# lumetra_add_test(name [QT] SOURCES a.cpp b.cpp LIBS lib1 lib2)
# One test program per class or feature; every test runs headless in a UTF-8 locale.
# QT tests get a main() that builds a QApplication on the offscreen platform. Either main() runs
# a peer role instead when a test started the program again as its second process.
include(GoogleTest)
function(lumetra_add_test name)
    cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE lumetra_options GTest::gtest GTest::gmock ${ARG_LIBS})
    if(ARG_QT)
        target_link_libraries(${name} PRIVATE lumetra_test_qtmain)
    else()
        target_link_libraries(${name} PRIVATE lumetra_test_main)
    endif()
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_definitions(${name} PRIVATE LUMETRA_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
    # Cross-built test programs are listed when ctest runs (under the emulator), not at build time.
    set(discovery POST_BUILD)
    if(CMAKE_CROSSCOMPILING)
        set(discovery PRE_TEST)
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_MODE ${discovery}
        DISCOVERY_TIMEOUT 60
        # Cases are named by their suites; the bytes of a parameter never become part of a name.
        NO_PRETTY_VALUES
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=C.UTF-8"
                   TIMEOUT 180)
endfunction()
