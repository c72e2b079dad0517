# The Debian package: `cpack -G DEB` in a build folder writes ardivo_<version>_<arch>.deb with
# what `cmake --install` puts in place, under /usr. The libraries the program links are found by
# dpkg-shlibdeps; what Qt loads at run time is named here, since no link shows it: the SQLite
# driver of Qt SQL (the catalogues' database) and Qt's own Italian texts.
set(ARDIVO_PACKAGE_MAINTAINER "Ardivo <ardivo@example.org>"
    CACHE STRING "Maintainer named in the package (name <address>)")

set(CPACK_PACKAGE_NAME ardivo)
set(CPACK_PACKAGE_VENDOR Ardivo)
set(CPACK_PACKAGE_CONTACT "${ARDIVO_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Carico d'incendio specifico di progetto e classi di resistenza al fuoco")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Per ogni compartimento antincendio Ardivo calcola il carico d'incendio\n"
    "specifico q_f (da un catalogo di attività, da un elenco di materiali o da\n"
    "arredi e merci in deposito), lo corregge nel valore di progetto\n"
    "q_f,d = q_f · δq1 · δq2 · δn secondo il D.M. 9 marzo 2007 o il capitolo S.2\n"
    "del Codice di prevenzione incendi, ricava la classe di resistenza al fuoco e\n"
    "stampa la relazione di calcolo con l'elenco di quanto sommato.")
set(CPACK_STRIP_FILES ON)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-translations-l10n")

include(CPack)
