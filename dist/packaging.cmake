# The Debian package: `cpack -G DEB` in a build folder makes
# orvanta_<version>_<arch>.deb with both programs, the desktop entry and the
# icon (see README.md, "Debian package").
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvanta)
set(CPACK_PACKAGE_VENDOR "Orvanta")
set(CPACK_PACKAGE_CONTACT "Orvanta developers <dev@orvanta.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Orvanta builds the HTML of product description pages for Taobao and Tmall shops from ready-made modules,\n"
    "with a live preview, and copies the page for the platform's description editor. orvanta-cli makes the\n"
    "same fragments without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
# The linked libraries come from dpkg-shlibdeps; what Qt loads at run time is
# named here: the SVG plugin draws the icon, the translations give Qt's own
# dialogs and buttons their Chinese texts, and the QML modules draw the page
# off screen for the mobile pictures.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6svg6 (>= 6.4), qt6-translations-l10n (>= 6.4), qml6-module-qtwebengine (>= 6.4), qml6-module-qtquick (>= 6.4), qml6-module-qtqml-workerscript (>= 6.4)")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk")
include(CPack)
