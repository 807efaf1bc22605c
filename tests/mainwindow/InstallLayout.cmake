# Checks the installed layout against the one expected, file by file: both
# programs and ZVNUM.chm in one program folder, working links in bin, the menu
# entry, its icons, the AppStream data, the manual pages and the package's
# documents, and nothing else.
#
#   cmake -DBUILD=<build folder> -DPROGRAM_DIR=<relative> -DBIN_DIR=<relative> -P InstallLayout.cmake
#       installs the build into a fresh folder and checks that;
#   cmake -DROOT=<prefix> -DPROGRAM_DIR=... -DBIN_DIR=... -P InstallLayout.cmake
#       checks a tree laid out already (an unpacked package's /usr).
if(NOT ROOT)
    set(ROOT ${BUILD}/install-test)
    set(installed_here TRUE)
    file(REMOVE_RECURSE ${ROOT})
    execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${ROOT}
                    RESULT_VARIABLE rc OUTPUT_QUIET)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "install failed: ${rc}")
    endif()
endif()

set(expected
    ${BIN_DIR}/ZVNUM ${BIN_DIR}/ZVPURGE
    ${PROGRAM_DIR}/ZVNUM ${PROGRAM_DIR}/ZVPURGE ${PROGRAM_DIR}/ZVNUM.chm
    share/applications/zorvik.desktop
    share/icons/hicolor/scalable/apps/zorvik.svg
    share/metainfo/org.example.zorvik.metainfo.xml
    share/man/man1/ZVNUM.1.gz share/man/man1/ZVPURGE.1.gz
    share/doc/zorvik/copyright share/doc/zorvik/changelog.gz)
foreach(size 16 22 24 32 48 64 128 256)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/zorvik.png)
endforeach()

file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${ROOT} ${ROOT}/*)
list(SORT expected)
list(SORT found)
set(missing ${expected})
list(REMOVE_ITEM missing ${found})
set(extra ${found})
list(REMOVE_ITEM extra ${expected})
if(missing OR extra)
    message(FATAL_ERROR "layout differs\n  missing: ${missing}\n  not expected: ${extra}")
endif()

foreach(program ZVNUM ZVPURGE)
    if(NOT IS_SYMLINK ${ROOT}/${BIN_DIR}/${program})
        message(FATAL_ERROR "${BIN_DIR}/${program} is no link")
    endif()
    file(REAL_PATH ${ROOT}/${BIN_DIR}/${program} target)
    file(REAL_PATH ${ROOT}/${PROGRAM_DIR}/${program} expected_target)
    if(NOT target STREQUAL expected_target)
        message(FATAL_ERROR "${BIN_DIR}/${program} leads to ${target}, not ${expected_target}")
    endif()
endforeach()
if(installed_here)
    file(REMOVE_RECURSE ${ROOT})
endif()
