# orvane_add_test(NAME SOURCES ... [LIBS ...] [GUI] [DISPLAY] [SERIAL] [TIMEOUT s])
#
# Builds one QtTest executable and registers it with CTest. Every run goes through
# run-test.sh, which gives the test its own temporary program folder (holding a copy of the
# binary) and its own home and config folders, so that nothing touches the user's.
#   plain    QTEST_GUILESS_MAIN, no platform plug-in
#   GUI      widgets on the offscreen platform
#   DISPLAY  a real X display: the Xvfb that `make test` starts (or a private one)
#   SERIAL   never runs beside another test (fixed ports such as the DevTools port)
set(ORVANE_TEST_BIN_DIR ${CMAKE_BINARY_DIR}/tests-bin)
set(ORVANE_RUN_TEST ${CMAKE_CURRENT_LIST_DIR}/run-test.sh)

function(orvane_add_test name)
    cmake_parse_arguments(T "GUI;DISPLAY;SERIAL" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE Qt5::Test orvane_testsupport ${T_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVANE_TEST_BIN_DIR})
    orvane_warnings(${name})

    set(kind plain)
    if(T_GUI)
        set(kind gui)
    endif()
    if(T_DISPLAY)
        set(kind display)
    endif()
    add_test(NAME ${name} COMMAND ${ORVANE_RUN_TEST} ${kind} $<TARGET_FILE:${name}>)
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    # Instrumented code runs several times slower: the time-out and the tests' own waits
    # (ORVANE_TEST_TIME_FACTOR) grow with it.
    set(factor 1)
    if(ORVANE_SANITIZE)
        set(factor 5)
    endif()
    math(EXPR T_TIMEOUT "${T_TIMEOUT} * ${factor}")
    math(EXPR function_timeout "300000 * ${factor}") # Qt's limit per test function, in ms
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "ORVANE_BIN_DIR=${ORVANE_BIN_DIR};ORVANE_SOURCE_DIR=${CMAKE_SOURCE_DIR};ORVANE_TEST_TIME_FACTOR=${factor};QTEST_FUNCTION_TIMEOUT=${function_timeout}")
    if(T_SERIAL)
        set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
    endif()
    if(T_DISPLAY)
        set_tests_properties(${name} PROPERTIES LABELS display)
    endif()
endfunction()
