# Registered from the native build (tests/WineTests.cmake): the grid driver
# against grid_host.exe under Wine, with the bundled sample settings.
quillon_wine_test(ui.grids grid_driver.exe @INSTALL@
                  @W:${PROJECT_SOURCE_DIR}/samples/COND/QUILLON.INI
                  @W:${QUILLON_UI_ARTIFACTS}/grids-@TARGET@)

# The PSG pattern the grid test edited and registered, converted natively.
foreach(build_dir IN LISTS QUILLON_WINDOWS_BUILDS)
    get_filename_component(target_name ${build_dir} NAME)
    set_tests_properties(ui.grids.${target_name} PROPERTIES FIXTURES_SETUP grids_edited_${target_name})
    add_test(NAME ui.grids_converted.${target_name}
             COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/check_edited_pattern.py
                     $<TARGET_FILE:quillon_cli> ${PROJECT_SOURCE_DIR}/samples
                     ${QUILLON_UI_ARTIFACTS}/grids-${target_name}-QUILLON.INI)
    set_tests_properties(ui.grids_converted.${target_name} PROPERTIES
                         FIXTURES_REQUIRED grids_edited_${target_name} LABELS wine TIMEOUT 120)
endforeach()
