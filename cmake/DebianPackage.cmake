# The Debian package: `cpack -G DEB` in a build folder makes vantorell2001_VERSION_ARCH.deb
# with everything `cmake --install` puts under /usr: both programs, the launcher, the shipped
# engines and help page, the desktop entry, the type of results files, the icon and the
# AppStream metainfo. dpkg-shlibdeps finds the libraries the programs link; the desktop's MIME
# and desktop-entry caches are refreshed by the triggers of the packages that own them.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "vantorell2001")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Vantorell")
set(CPACK_PACKAGE_CONTACT "Vantorell 2001 maintainers <maintainers@vantorell.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "meta-search client: ask many search engines at once")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Type a keyword, pick a category, and Vantorell 2001 asks every enabled search\n"
    "engine of that category at once, cuts the results out of each answer page while\n"
    "it streams in and keeps turning pages until it has enough. Engines are small\n"
    "text files, not code. The package holds the window (vantorell2001) and the\n"
    "headless front end (vantorell-search).")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SECTION "web")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.vantorell.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Found by no library search: the window needs a Qt platform plugin to open at all. The trust
# store checks https engines' certificates, and xdg-open hands addresses and the help page to
# the desktop.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ca-certificates, xdg-utils")
# One package with every install component.
set(CPACK_DEB_COMPONENT_INSTALL OFF)
include(CPack)
