# The Debian package of the office's stations (tools/paquete makes it): the
# program, taloren-admin, the data folder, the desktop entry and the icon,
# under /usr, where the program finds its data in /usr/share/taloren.
set(TALOREN_MANTENEDOR "Oficina de TALOREN <taloren@localhost>"
    CACHE STRING "Maintainer field of the Debian package (Name <address>)")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME taloren)
set(CPACK_PACKAGE_CONTACT "${TALOREN_MANTENEDOR}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TALOREN_MANTENEDOR}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Sistema Para el Control de Invitaciones")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "TALOREN lleva el control de las invitaciones que reciben el Secretario y el
Gobernador: cuándo y dónde es cada evento, quién invita, qué tan urgente es y
quién asiste en su lugar. Imprime reportes, lleva el registro de eventos y
escribe oficios y hojas de consulta a partir de plantillas.

Trabaja sobre una base de datos SQLite propia de la estación o sobre un
servidor PostgreSQL. Incluye taloren-admin, la orden de administración.")
# The libraries it links, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What Qt loads at run time, which dpkg-shlibdeps cannot see: the two database
# drivers the settings may name, the ODBC driver through which taloren-admin
# import reads an earlier server, Qt's own texts in Spanish, and the
# spreadsheet writer, loaded by its soname (src/outside/hojas). The platform
# plugins (xcb, offscreen) come with libqt6gui6, which the program links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql, libqt6sql6-odbc, qt6-translations-l10n, libxlsxwriter4")
# The ODBC driver of an office's earlier SQL Server (FreeTDS).
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "tdsodbc")
include(CPack)
