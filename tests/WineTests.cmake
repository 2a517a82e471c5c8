# Windows programs run under Wine from the native build's CTest, for each
# Windows build folder that exists.
find_program(WINE_PROGRAM wine)
find_program(XVFB_PROGRAM Xvfb)
if(NOT WINE_PROGRAM OR NOT XVFB_PROGRAM)
    message(STATUS "Wine or Xvfb not found: Windows tests are not registered")
    return()
endif()

set(QUILLON_RUN_UNDER_WINE ${PROJECT_SOURCE_DIR}/tests/ui/run_under_wine.sh)
set(QUILLON_UI_ARTIFACTS ${CMAKE_BINARY_DIR}/ui-artifacts)
file(MAKE_DIRECTORY ${QUILLON_UI_ARTIFACTS})

# quillon_wine_test(<name> <program.exe> [args...]): one test per Windows build.
function(quillon_wine_test name program)
    foreach(build_dir IN LISTS QUILLON_WINDOWS_BUILDS)
        get_filename_component(target_name ${build_dir} NAME)
        string(REPLACE "@TARGET@" ${target_name} test_args "${ARGN}")
        add_test(NAME ${name}.${target_name}
                 COMMAND ${QUILLON_RUN_UNDER_WINE} ${build_dir}/bin ${program} ${test_args})
        set_tests_properties(${name}.${target_name} PROPERTIES TIMEOUT 900 LABELS wine)
    endforeach()
endfunction()

quillon_wine_test(ui.startup ui_driver.exe @INSTALL@
                  --screenshot @W:${QUILLON_UI_ARTIFACTS}/startup-@TARGET@.png)
quillon_wine_test(kavf32.ordinals kavf32_ordinal_roundtrip.exe)
quillon_wine_test(kavf32.multimedia kavf32_multimedia_handle.exe)
include(${PROJECT_SOURCE_DIR}/tests/ui/grids/wine_tests.cmake)
include(${PROJECT_SOURCE_DIR}/tests/ui/convert/wine_tests.cmake)
