# Installation and the two Debian packages (make package):
#  - orvenda-desk: OrvendaDesk, its OrvendaApp library (in a folder of its own, found
#    through the program's run path), the desktop entry, the icon, the help pages and
#    the manual page;
#  - orvenda-server: the server, its systemd unit running it as the user `orvenda`
#    (made by the package's postinst), the default /etc/orvenda/server.conf and the
#    manual page. The database lives in /var/lib/orvenda, the unit's state folder.
# Installed under /usr unless told otherwise: the paths the programs are built with (the
# help pages) are then those of the packages.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX /usr CACHE PATH "Installation prefix" FORCE)
endif()
include(GNUInstallDirs)

set(ORVENDA_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/orvenda)
set(ORVENDA_HELP_DIR ${CMAKE_INSTALL_DATADIR}/orvenda-desk/help)

set_target_properties(OrvendaDesk PROPERTIES INSTALL_RPATH "$ORIGIN/../${ORVENDA_PRIVATE_LIBDIR}")
install(TARGETS OrvendaDesk RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT desk)
install(TARGETS OrvendaApp LIBRARY DESTINATION ${ORVENDA_PRIVATE_LIBDIR} NAMELINK_SKIP
        COMPONENT desk)
install(FILES packaging/orvenda-desk.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT desk)
install(FILES packaging/orvenda.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        COMPONENT desk)
install(DIRECTORY docs/help/ DESTINATION ${ORVENDA_HELP_DIR} COMPONENT desk)
# The desktop program opens the installed help pages unless told another address.
target_compile_definitions(orvenda_host PRIVATE
  ORVENDA_INSTALLED_HELP="${CMAKE_INSTALL_FULL_DATADIR}/orvenda-desk/help")

install(TARGETS orvenda-server RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT server)
install(FILES packaging/orvenda-server.service DESTINATION lib/systemd/system COMPONENT server)
install(FILES packaging/server.conf DESTINATION /etc/orvenda
        COMPONENT server)

# Manual pages, made by help2man from each program's own --help and --version, so the
# options are written down once. Only `make package` asks for them.
find_program(HELP2MAN help2man)
set(ORVENDA_MAN_DIR ${CMAKE_BINARY_DIR}/man)
add_custom_command(
  OUTPUT ${ORVENDA_MAN_DIR}/orvenda-server.1.gz ${ORVENDA_MAN_DIR}/OrvendaDesk.1.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVENDA_MAN_DIR}
  COMMAND ${HELP2MAN} --no-info --section=1 "--name=the Orvenda map server"
          --output=${ORVENDA_MAN_DIR}/orvenda-server.1 $<TARGET_FILE:orvenda-server>
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          ${HELP2MAN} --no-info --section=1 "--name=the Orvenda desktop map client"
          --output=${ORVENDA_MAN_DIR}/OrvendaDesk.1 $<TARGET_FILE:OrvendaDesk>
  COMMAND gzip -9nf ${ORVENDA_MAN_DIR}/orvenda-server.1 ${ORVENDA_MAN_DIR}/OrvendaDesk.1
  DEPENDS orvenda-server OrvendaDesk
  VERBATIM)
add_custom_target(man DEPENDS ${ORVENDA_MAN_DIR}/orvenda-server.1.gz
                              ${ORVENDA_MAN_DIR}/OrvendaDesk.1.gz)
install(FILES ${ORVENDA_MAN_DIR}/OrvendaDesk.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        COMPONENT desk OPTIONAL)
install(FILES ${ORVENDA_MAN_DIR}/orvenda-server.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        COMPONENT server OPTIONAL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvenda)
set(CPACK_PACKAGE_VENDOR Orvenda)
set(CPACK_PACKAGE_CONTACT "Orvenda <orvenda@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING IGNORE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_DESK_PACKAGE_NAME orvenda-desk)
set(CPACK_DEBIAN_DESK_PACKAGE_SECTION graphics)
set(CPACK_COMPONENT_DESK_DESCRIPTION
    "Orvenda desktop map client\n OrvendaDesk views, queries and edits the maps of an Orvenda map server.")
set(CPACK_DEBIAN_SERVER_PACKAGE_NAME orvenda-server)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)
set(CPACK_DEBIAN_SERVER_PACKAGE_DEPENDS "adduser")
set(CPACK_COMPONENT_SERVER_DESCRIPTION
    "Orvenda map server\n orvenda-server serves maps kept in SQLite to Orvenda clients.")
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/packaging/server/postinst ${CMAKE_SOURCE_DIR}/packaging/server/prerm
    ${CMAKE_SOURCE_DIR}/packaging/server/postrm ${CMAKE_SOURCE_DIR}/packaging/server/conffiles)
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
