# The Debian package (scripts/package), through CPack's DEB generator: it
# packages exactly what the install rules put in place, which
# tests/app/InstallCheck.cmake already checks, from an ordinary build tree,
# with no debian/ folder to keep beside CMake and nothing written outside
# the tree. What debhelper would add by itself (man pages, copyright,
# changelog, stripping) is added here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kanaroku)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kanaroku developers <kanaroku@users.noreply.github.com>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small Japanese address book kept in a text file")
set(CPACK_PACKAGE_DESCRIPTION [=[
Kanaroku (なまえ☆ばこ！) is a small address book in one window. It lists the
people of AddressTable.csv, a Shift_JIS text file in the directory it is
started in, narrows the list by the kana row of each reading (あ か さ た
な は ま や ら わ and 英字) and shows one person's address, postal code,
phone numbers, birth date and age, blood type and e-mail. New people are
appended to the file; people already in it are changed with a text editor.
.
kanaroku-vcard exports the file to a vCard file and imports the people of
one, so that contacts move between the book and a phone. kanaroku-hagaki
writes the address side of postcards, set vertically, as PDF.]=])
set(CPACK_STRIP_FILES ON)
# Library dependencies come from dpkg-shlibdeps. The rest is loaded at run
# time, where no tool sees it: the Japanese font the dialogs are drawn in,
# the IPAex fonts of the postcards, Qt's own texts in Japanese, the
# input-method plugins and Wayland.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-ipafont-gothic, fonts-ipaexfont-mincho, fonts-ipaexfont-gothic, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fcitx5-frontend-qt6 | ibus, qt6-wayland")
# Debian's own files go into the staged tree only, so that a plain
# `cmake --install` stays as it is.
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
set(CPACK_KANAROKU_CHANGELOG ${CMAKE_BINARY_DIR}/packaging/changelog)
set(CPACK_KANAROKU_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianFiles.cmake)
include(CPack)
