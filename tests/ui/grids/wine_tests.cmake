# Registered from the native build (tests/WineTests.cmake): the grid driver
# against grid_host.exe under Wine, with the bundled sample settings.
quillon_wine_test(ui.grids grid_driver.exe @INSTALL@
                  @W:${PROJECT_SOURCE_DIR}/samples/COND/QUILLON.INI
                  @W:${QUILLON_UI_ARTIFACTS}/grids-@TARGET@)
