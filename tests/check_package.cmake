cmake_minimum_required(VERSION 3.16)
# Makes the Debian package of this build folder with cpack in WORK_DIR and reads it back with
# dpkg-deb: the name of the file, its fields, the dependencies dpkg-shlibdeps found beside the
# ones Qt loads at run time, the files it installs (nothing more, nothing less), and the desktop
# files as a desktop reads them (appstreamcli and desktop-file-validate, where installed).
# Arguments: CPACK, CPACK_CONFIG, WORK_DIR, SOURCE_DIR, VERSION, BINDIR, DATADIR.
find_program(DPKG_DEB dpkg-deb)
if(NOT DPKG_DEB)
    message("Skipped: no dpkg-deb, this is not a Debian system")
    return()
endif()
foreach(tool dpkg-shlibdeps file)
    find_program(tool_path_${tool} ${tool} REQUIRED) # bash scripts/deps.sh installs them
endforeach()
set(problems "")
macro(problem)
    string(APPEND problems "\n  " ${ARGV})
endmacro()
# Runs a tool; what it says when it fails is a problem.
macro(check what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                    ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        problem("${what}:\n${output}")
    endif()
endmacro()

file(REMOVE_RECURSE "${WORK_DIR}")
check("cpack -G DEB failed" "${CPACK}" -G DEB --config "${CPACK_CONFIG}" -B "${WORK_DIR}")
if(problems)
    message(FATAL_ERROR "${problems}")
endif()
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE arch
                OUTPUT_STRIP_TRAILING_WHITESPACE)
set(deb "${WORK_DIR}/ardivo_${VERSION}_${arch}.deb")
if(NOT EXISTS "${deb}")
    file(GLOB made "${WORK_DIR}/*.deb")
    message(FATAL_ERROR "No ${deb}; cpack made: ${made}")
endif()

# The control fields: these values, and some Maintainer and Description.
set(expected_Package ardivo)
set(expected_Version ${VERSION})
set(expected_Architecture ${arch})
set(expected_Maintainer ".+")
set(expected_Description ".+")
foreach(field Package Version Architecture Maintainer Description Depends)
    execute_process(COMMAND "${DPKG_DEB}" -f "${deb}" ${field} OUTPUT_VARIABLE field_${field}
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(DEFINED expected_${field} AND NOT field_${field} MATCHES "^${expected_${field}}$")
        problem("${field} is \"${field_${field}}\", not \"${expected_${field}}\"")
    endif()
endforeach()

# Dependencies: the libraries the program links, each with the least version dpkg-shlibdeps
# read from their symbols, and what Qt loads without a link.
set(listed ", ${field_Depends},")
foreach(name libqt6sql6-sqlite qt6-translations-l10n)
    if(NOT listed MATCHES ", ${name}[ ,]")
        problem("Depends lacks ${name}: ${field_Depends}")
    endif()
endforeach()
foreach(name libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6sql6
             libqt6printsupport6 zlib1g)
    string(REPLACE "+" "\\+" pattern "${name}")
    if(NOT listed MATCHES ", ${pattern} \\(>= [^)]+\\),")
        problem("Depends lacks ${name} with its least version, found by dpkg-shlibdeps: "
                "${field_Depends}")
    endif()
endforeach()

# The files: exactly the program, the reference data, and the desktop's files.
set(data "/usr/${DATADIR}")
set(expected "/usr/${BINDIR}/ardivo" "${data}/applications/org.ardivo.Ardivo.desktop"
             "${data}/mime/packages/org.ardivo.Ardivo.xml"
             "${data}/icons/hicolor/scalable/apps/org.ardivo.Ardivo.svg"
             "${data}/metainfo/org.ardivo.Ardivo.metainfo.xml")
file(GLOB_RECURSE reference RELATIVE "${SOURCE_DIR}/resources/reference"
     "${SOURCE_DIR}/resources/reference/*")
foreach(name IN LISTS reference)
    list(APPEND expected "${data}/ardivo/reference/${name}")
endforeach()
execute_process(COMMAND "${DPKG_DEB}" -c "${deb}" OUTPUT_VARIABLE listing)
string(REPLACE "\n" ";" listing "${listing}")
set(files "")
foreach(line IN LISTS listing)
    if(line MATCHES "^-([-rwxsStT]+) +[^ ]+ +[0-9]+ [^ ]+ [^ ]+ \\.(/[^ ]*)$")
        list(APPEND files "${CMAKE_MATCH_2}")
        if(CMAKE_MATCH_2 STREQUAL "/usr/${BINDIR}/ardivo" AND NOT CMAKE_MATCH_1 STREQUAL "rwxr-xr-x")
            problem("${CMAKE_MATCH_2} has mode ${CMAKE_MATCH_1}")
        endif()
    elseif(NOT line MATCHES "^d" AND NOT line STREQUAL "")
        problem("not a plain file or folder: ${line}")
    endif()
endforeach()
list(SORT files)
list(SORT expected)
if(NOT files STREQUAL expected)
    string(REPLACE ";" "\n    " shown_files "${files}")
    string(REPLACE ";" "\n    " shown_expected "${expected}")
    problem("the package holds\n    ${shown_files}\n  instead of\n    ${shown_expected}")
endif()

# What the files say, unpacked as a system would have them.
set(root "${WORK_DIR}/root")
check("dpkg-deb -x failed" "${DPKG_DEB}" -x "${deb}" "${root}")
execute_process(COMMAND file -b "${root}/usr/${BINDIR}/ardivo" OUTPUT_VARIABLE kind)
if(NOT kind MATCHES "ELF" OR kind MATCHES "not stripped")
    problem("the program is no stripped ELF executable: ${kind}")
endif()
set(metainfo "${root}${data}/metainfo/org.ardivo.Ardivo.metainfo.xml")
set(desktop "${root}${data}/applications/org.ardivo.Ardivo.desktop")
if(EXISTS "${metainfo}" AND EXISTS "${desktop}")
    file(READ "${metainfo}" text)
    if(NOT text MATCHES "<release version=\"([^\"]+)\"" OR NOT CMAKE_MATCH_1 STREQUAL VERSION)
        problem("the metainfo's latest release is \"${CMAKE_MATCH_1}\", not ${VERSION}")
    endif()
    foreach(line "<launchable type=\"desktop-id\">org.ardivo.Ardivo.desktop</launchable>"
                 "<summary xml:lang=\"it\">" "<developer_name>Ardivo</developer_name>")
        string(FIND "${text}" "${line}" at)
        if(at LESS 0)
            problem("the metainfo has no ${line}")
        endif()
    endforeach()
    file(STRINGS "${desktop}" lines)
    foreach(line "Exec=ardivo %f" "Icon=org.ardivo.Ardivo"
                 "MimeType=application/x-ardivo-project;")
        if(NOT line IN_LIST lines)
            problem("the .desktop file has no line ${line}")
        endif()
    endforeach()
endif()
find_program(APPSTREAMCLI appstreamcli)
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(APPSTREAMCLI)
    check("appstreamcli validate refuses the metainfo" "${APPSTREAMCLI}" validate --no-net
          "${metainfo}")
else()
    message("appstreamcli is not installed: the metainfo is not validated")
endif()
if(DESKTOP_FILE_VALIDATE)
    check("desktop-file-validate refuses the .desktop file" "${DESKTOP_FILE_VALIDATE}"
          "${desktop}")
endif()

if(problems)
    message(FATAL_ERROR "${deb}:${problems}")
endif()
message("${deb}: ${field_Depends}")
