# The Debian package (cpack -G DEB, made by scripts/package.sh) and the files
# a Debian package carries besides the programs: copyright, changelog and the
# lintian overrides.

set(VANTREO_DEBIAN_DIR ${CMAKE_SOURCE_DIR}/cmake/debian)

# The changelog's newest entry, the metainfo's newest release and the project
# version must agree; a release that bumps one and forgets the other stops here.
file(STRINGS ${VANTREO_DEBIAN_DIR}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^vantreo \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "cmake/debian/changelog does not start with version ${PROJECT_VERSION}")
endif()
file(READ ${CMAKE_SOURCE_DIR}/resources/${VANTREO_APP_ID}.metainfo.xml metainfo)
string(FIND "${metainfo}" "<release version=\"${PROJECT_VERSION}\"" release_at)
if(release_at LESS 0)
    message(FATAL_ERROR "the metainfo has no release ${PROJECT_VERSION}")
endif()

set(VANTREO_PACKAGE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/vantreo)
find_program(VANTREO_GZIP gzip)
if(VANTREO_GZIP)
    # Compressed without name and time stamp, so the package is reproducible.
    set(changelog_gz ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
    add_custom_command(OUTPUT ${changelog_gz}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
        COMMAND ${VANTREO_GZIP} -9nc ${VANTREO_DEBIAN_DIR}/changelog > ${changelog_gz}
        DEPENDS ${VANTREO_DEBIAN_DIR}/changelog VERBATIM)
    add_custom_target(vantreo-changelog ALL DEPENDS ${changelog_gz})
    install(FILES ${changelog_gz} DESTINATION ${VANTREO_PACKAGE_DOC_DIR})
endif()
install(FILES ${VANTREO_DEBIAN_DIR}/copyright DESTINATION ${VANTREO_PACKAGE_DOC_DIR})
if(EXISTS ${VANTREO_DEBIAN_DIR}/lintian-overrides)
    install(FILES ${VANTREO_DEBIAN_DIR}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME vantreo)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantreo)
set(CPACK_PACKAGE_VENDOR "The Vantreo developers")
set(CPACK_PACKAGE_CONTACT "The Vantreo developers <${VANTREO_SUPPORT_EMAIL}>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY vantreo)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "convert Matroska movies to MP4 without re-encoding the video")
set(CPACK_PACKAGE_DESCRIPTION "Vantreo turns Matroska movies (and MP4, MOV and OGM files) into MP4 or M4V
files that phones, televisions and media players can play. The video is
copied as it is; the audio track chosen by the user's preferred languages is
converted to AAC or AC-3 or copied, a second surround track and text
subtitles can be carried along, and movies are converted one after another
in a queue with pause, progress and the time remaining.

The package holds the desktop application (vantreo) and the command line
program (vantreo-cli), which runs the same queue in terminals and scripts.
It drives ffmpeg and mediainfo and brings its own small MP4Box and afconvert,
and reads picture subtitles (Blu-ray, DVD, DVB) as text with Tesseract.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VANTREO_WEBSITE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The tools the programs run, and Qt's Wayland platform so the window runs
# natively on Wayland sessions; dpkg-shlibdeps adds the libraries.
# Our subtitle reader links Tesseract (found by dpkg-shlibdeps) and needs at
# least the English trained data; the other common languages are
# recommended.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ffmpeg, mediainfo, qt6-wayland, tesseract-ocr-eng")
# Qt's own catalogues translate the buttons of the standard dialogs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-translations-l10n, tesseract-ocr-deu, tesseract-ocr-fra, tesseract-ocr-spa, tesseract-ocr-ita")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
