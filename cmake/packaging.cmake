# The Debian package that `make package` builds with CPack: what the install
# rules put under /usr, its dependencies read from the binaries by
# dpkg-shlibdeps, plus the Qt platform plugins the window needs (the Qt
# libraries only recommend them).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelmar)
set(CPACK_PACKAGE_VERSION ${PELMAR_VERSION_TEXT})
set(CPACK_PACKAGE_VENDOR Pelmar)
set(CPACK_PACKAGE_CONTACT "Pelmar <pelmar@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "keep a portfolio of funds and be told when to buy and sell")
# The long description under the summary, a line each (CPack indents them).
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Pelmar keeps a private investor's portfolio of funds in one file of dated
snapshots and tells when to buy and when to sell by a reference value per
fund with buy and sell thresholds. It downloads daily closing prices, keeps
a live euro/dollar rate and index quote, draws charts and writes portfolio
and transaction reports, in Dutch and English. pelmar-cli runs the same
commands without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libreoffice-writer")
include(CPack)
