# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) on the staged tree, before the
# .deb is made: the files Debian asks of every package and a plain install
# does without. Compressed with gzip -9n, as policy and lintian want.
set(usr "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(doc "${usr}/share/doc/kanaroku")
set(man "${usr}/share/man/man1")

function(gzip_into source target)
  execute_process(COMMAND gzip -9n -c "${source}" OUTPUT_FILE "${target}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "gzip ${source}: ${rc}")
  endif()
endfunction()

# The license becomes the machine-readable copyright file (DEP-5), which
# holds it word for word; left in place too it would be a second copy.
if(NOT EXISTS "${doc}/LICENSE")
  message(FATAL_ERROR "${doc}/LICENSE is missing: scripts/package sets CMAKE_INSTALL_DOCDIR")
endif()
file(STRINGS "${doc}/LICENSE" license)
set(copyright "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
    "Upstream-Name: Kanaroku\n\nFiles: *\nCopyright: 2026 Kanaroku developers\nLicense: Expat\n")
foreach(line IN LISTS license)
  if(line STREQUAL "")
    set(line ".")
  endif()
  list(APPEND copyright " ${line}\n")
endforeach()
list(JOIN copyright "" copyright)
file(WRITE "${doc}/copyright" "${copyright}")
file(REMOVE "${doc}/LICENSE")

gzip_into("${CPACK_KANAROKU_CHANGELOG}" "${doc}/changelog.gz")
file(MAKE_DIRECTORY "${man}")
foreach(page kanaroku.1 kanaroku-vcard.1 kanaroku-hagaki.1 kanaroku-zip.1)
  gzip_into("${CPACK_KANAROKU_PACKAGING_DIR}/${page}" "${man}/${page}.gz")
endforeach()
# CPack strips the debugging symbols; the compiler's notes go too, as
# dh_strip would take them.
foreach(program kanaroku kanaroku-vcard kanaroku-hagaki kanaroku-zip)
  execute_process(COMMAND strip --remove-section=.comment --remove-section=.note "${usr}/bin/${program}"
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "strip ${program}: ${rc}")
  endif()
endforeach()
file(GLOB_RECURSE added "${doc}/*" "${man}/*")
file(CHMOD ${added} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
