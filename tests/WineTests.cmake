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

# The desktop program driven as a user works it; one Wine prefix and display
# serve all its scenarios. Screenshots and the files it wrote at exit land in
# ui-artifacts/<target>/, which quillon-cli then reads.
# Drive Q: is a scratch folder there, the EEG conversion's output volume.
quillon_wine_test(ui.desktop ui_driver.exe @INSTALL@ @W:${QUILLON_UI_ARTIFACTS}/@TARGET@ Q:)
foreach(build_dir IN LISTS QUILLON_WINDOWS_BUILDS)
    get_filename_component(target_name ${build_dir} NAME)
    file(MAKE_DIRECTORY ${QUILLON_UI_ARTIFACTS}/${target_name})
    set_tests_properties(ui.desktop.${target_name} PROPERTIES FIXTURES_SETUP ui_saved_${target_name}
                         ENVIRONMENT "QUILLON_WINE_DRIVES=q=${QUILLON_UI_ARTIFACTS}/${target_name}/volume")
    add_test(NAME ui.saved_settings.${target_name}
             COMMAND ${PROJECT_SOURCE_DIR}/tests/ui/check_saved_settings.sh $<TARGET_FILE:quillon_cli>
                     ${QUILLON_UI_ARTIFACTS}/${target_name} ${PROJECT_SOURCE_DIR}/samples/eeg_comma_time.csv)
    set_tests_properties(ui.saved_settings.${target_name} PROPERTIES
                         FIXTURES_REQUIRED ui_saved_${target_name} LABELS wine)
endforeach()
quillon_wine_test(ui.preview ui_preview_driver.exe @INSTALL@ @W:${QUILLON_UI_ARTIFACTS}/@TARGET@/preview)
# The same program's screens in a prefix at 144 DPI (150 %): every page, both
# grids, a notice and the About box, in ui-artifacts/<target>-dpi144/.
quillon_wine_test(ui.dpi144 ui_driver.exe @INSTALL@ @W:${QUILLON_UI_ARTIFACTS}/@TARGET@-dpi144)
foreach(build_dir IN LISTS QUILLON_WINDOWS_BUILDS)
    get_filename_component(target_name ${build_dir} NAME)
    file(MAKE_DIRECTORY ${QUILLON_UI_ARTIFACTS}/${target_name}-dpi144)
    set_tests_properties(ui.dpi144.${target_name} PROPERTIES
                         ENVIRONMENT "QUILLON_WINE_DPI=144;QUILLON_UI_SCREENS=dpi144")
endforeach()
quillon_wine_test(kavf32.ordinals kavf32_ordinal_roundtrip.exe)
quillon_wine_test(kavf32.multimedia kavf32_multimedia_handle.exe)
include(${PROJECT_SOURCE_DIR}/tests/ui/grids/wine_tests.cmake)
include(${PROJECT_SOURCE_DIR}/tests/ui/convert/wine_tests.cmake)
include(${PROJECT_SOURCE_DIR}/tests/unit/tools/batch_wine_tests.cmake)
quillon_wine_test(companion.ordinals companion_ordinals.exe)
# The same typed texts under code page 932 and 1252 write the same files.
foreach(build_dir IN LISTS QUILLON_WINDOWS_BUILDS)
    get_filename_component(target_name ${build_dir} NAME)
    add_test(NAME ui.text_locales.${target_name}
             COMMAND ${PROJECT_SOURCE_DIR}/tests/ui/compare_locale_runs.sh ${build_dir}/bin
                     ${QUILLON_UI_ARTIFACTS}/${target_name}/text)
    set_tests_properties(ui.text_locales.${target_name} PROPERTIES TIMEOUT 900 LABELS wine)
endforeach()

# Some systems run no 32-bit programs, so Wine's 32-bit loader cannot start
# and no 32-bit Windows program can run: the win32 tests are then disabled
# (CTest lists them as not run), not failed.
execute_process(COMMAND ${WINE_PROGRAM} --version RESULT_VARIABLE wine32_result
                OUTPUT_QUIET ERROR_QUIET)
if(NOT wine32_result EQUAL 0)
    message(STATUS "Wine's 32-bit loader does not start here: the win32 tests under Wine are disabled")
    get_property(wine_tests DIRECTORY PROPERTY TESTS)
    foreach(test_name IN LISTS wine_tests)
        if(test_name MATCHES "\\.win32$")
            set_tests_properties(${test_name} PROPERTIES DISABLED TRUE)
        endif()
    endforeach()
endif()
