# The Linux installation: programs, desktop entry, icons, AppStream metadata, man pages, the bash
# completion, and the inventory service with its daily timer (installed, not enabled) and its
# configuration file. MORAVEL_DEBIAN_DOCS adds the copyright, changelog and lintian overrides a
# Debian package carries.
option(MORAVEL_DEBIAN_DOCS "Install the Debian copyright file and changelog (scripts/build-package)" OFF)
set(_here ${CMAKE_CURRENT_LIST_DIR})
set(_out ${CMAKE_BINARY_DIR}/install)

moravel_install(TARGETS ${_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
moravel_install(FILES ${_here}/moravel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 128 256)
  moravel_install(FILES ${_here}/icons/moravel-${size}.png RENAME moravel.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
configure_file(${_here}/moravel.metainfo.xml.in ${_out}/org.example.moravel.metainfo.xml @ONLY)
moravel_install(FILES ${_out}/org.example.moravel.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
moravel_install(FILES ${_here}/moravel-report.bash-completion RENAME moravel-report
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
if(TARGET moravel)
  moravel_install(FILES ${_here}/moravel.bash-completion RENAME moravel
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
endif()

# The service has moravel-report read its server from /etc/moravel/inventory.conf whatever the
# prefix: one machine has one place for it, the one README and the man page name (GNUInstallDirs
# would make it /usr/local/etc for the /usr/local prefix). systemd finds units under the prefix's
# lib/systemd/system (/usr/lib, /usr/local/lib). The timer is left disabled: each machine's
# administrator names the server first.
set(MORAVEL_INVENTORY_CONF_DIR /etc/moravel)
set(MORAVEL_INVENTORY_CONF ${MORAVEL_INVENTORY_CONF_DIR}/inventory.conf)
set(MORAVEL_REPORT ${CMAKE_INSTALL_FULL_BINDIR}/moravel-report)
configure_file(${_here}/systemd/moravel-inventory.service.in ${_out}/moravel-inventory.service @ONLY)
moravel_install(FILES ${_out}/moravel-inventory.service ${_here}/systemd/moravel-inventory.timer
                DESTINATION lib/systemd/system)
# It may hold the server's password: its owner alone reads it.
moravel_install(FILES ${_here}/systemd/inventory.conf DESTINATION ${MORAVEL_INVENTORY_CONF_DIR}
                PERMISSIONS OWNER_READ OWNER_WRITE)

# Compressed files are made at build time: gzip -n leaves out the name and time, so the same
# sources give the same bytes.
set(_compressed)
function(moravel_gzip source target)
  add_custom_command(OUTPUT ${target} COMMAND gzip -9nc ${source} > ${target} DEPENDS ${source} VERBATIM)
  set(_compressed ${_compressed} ${target} PARENT_SCOPE)
endfunction()

# Both pages describe the snapshot format with the same text.
file(READ ${_here}/man/snapshots.roff MORAVEL_MAN_SNAPSHOTS)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_here}/man/snapshots.roff)
string(STRIP "${MORAVEL_MAN_SNAPSHOTS}" MORAVEL_MAN_SNAPSHOTS)
foreach(page moravel moravel-report)
  configure_file(${_here}/man/${page}.1.in ${_out}/${page}.1 @ONLY)
  moravel_gzip(${_out}/${page}.1 ${_out}/${page}.1.gz)
  moravel_install(FILES ${_out}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

if(MORAVEL_DEBIAN_DOCS)
  # The copyright file carries the licence's terms, indented as the Debian format wants them.
  file(STRINGS ${CMAKE_SOURCE_DIR}/LICENSE _lines)
  set(MORAVEL_LICENSE_TERMS)
  foreach(line IN LISTS _lines)
    if(line MATCHES "^Copyright \\(c\\) (.*)$")
      set(MORAVEL_COPYRIGHT ${CMAKE_MATCH_1})
    elseif(MORAVEL_LICENSE_TERMS OR line MATCHES "^Permission")
      if(line STREQUAL "")
        set(line ".")
      endif()
      string(APPEND MORAVEL_LICENSE_TERMS " ${line}\n")
    endif()
  endforeach()
  string(STRIP "${MORAVEL_LICENSE_TERMS}" MORAVEL_LICENSE_TERMS)
  string(PREPEND MORAVEL_LICENSE_TERMS " ")
  set(_doc ${CMAKE_INSTALL_DATADIR}/doc/moravel)
  configure_file(${_here}/debian/copyright.in ${_out}/copyright @ONLY)
  configure_file(${_here}/debian/changelog.in ${_out}/changelog @ONLY)
  moravel_gzip(${_out}/changelog ${_out}/changelog.gz)
  moravel_install(FILES ${_out}/copyright ${_out}/changelog.gz DESTINATION ${_doc})
  # The configuration file is private on purpose (it may hold a password); lintian is told so.
  moravel_install(FILES ${_here}/debian/lintian-overrides RENAME moravel
                  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides)
endif()
add_custom_target(moravel_install_files ALL DEPENDS ${_compressed})
