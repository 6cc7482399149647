# Installs the build into a fresh prefix and checks the installed tree: the
# executable, its desktop entry and icon, and the user guide where Help looks.
#   cmake -DBUILD=<build> -DPREFIX=<prefix> -DBINDIR=<bindir> -DDATADIR=<datadir> -DCHECK=<test_helplookup> -P installtree.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc})")
endif()
foreach(f "${BINDIR}/tarvik" "${DATADIR}/applications/tarvik.desktop"
          "${DATADIR}/icons/hicolor/scalable/apps/tarvik.svg")
  if(NOT EXISTS "${PREFIX}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
execute_process(COMMAND "${CMAKE_COMMAND}" -E env "TVK_INSTALLED_BIN=${PREFIX}/${BINDIR}"
                        "${CHECK}" installedTree_guideAndItsPicturesWhereHelpLooks
                RESULT_VARIABLE rc)
file(REMOVE_RECURSE "${PREFIX}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the installed tool does not find its guide")
endif()
