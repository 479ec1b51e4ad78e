# What `make install` puts in place and `make package` wraps into a Debian package: the two
# programs, the default assets (installed beside them by tools/assetgen), a menu entry for each and
# the icons (tools/icons), in the freedesktop layout. The programs find the assets relative to
# their own folder, so the installation can live under any prefix.
install(TARGETS quelvane tonspire RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/dist/quelvane.desktop ${CMAKE_SOURCE_DIR}/dist/tonspire.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quelvane)
set(CPACK_PACKAGE_VENDOR "The Quelvane developers")
set(CPACK_PACKAGE_CONTACT "The Quelvane developers <quelvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fast real-time 2-D space shooter")
set(CPACK_PACKAGE_DESCRIPTION "Steer a fighter over a field of drifting stars and fight off \
waves of aliens. Includes tonspire, which picks the MIDI output for the game's music.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The shared libraries come from dpkg-shlibdeps; the font the HUD is drawn in and the SoundFont
# the built-in synthesizer plays are found at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, timgm6mb-soundfont | fluid-soundfont-gm")
# The game's dialogs (no MIDI device chosen, a damaged controls file) are SDL's message boxes: on X11
# drawn in the X server's core fonts, on Wayland shown by zenity. Without them the game plays just
# the same and says the same on standard error, so they are recommended rather than required; apt
# installs recommendations unless told not to. tonspire's GTK comes with its shared libraries.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xfonts-base, zenity")
include(CPack)
