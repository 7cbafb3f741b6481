# The Debian package (cpack -G DEB, see scripts/package): the program folder
# under /usr/lib/oxbel, links in /usr/bin, the launcher and the icon under
# /usr/share.
set(CPACK_PACKAGE_NAME oxbel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Oxbel")
set(CPACK_PACKAGE_CONTACT "Oxbel developers <developers@oxbel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Converts DVD titles and video files for phones and media players")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_GENERATOR DEB)
# The launcher names the program by its installed path, so the install runs
# with the real prefix into a staging root.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE OXBEL_DEB_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE
                ERROR_QUIET)
if(NOT OXBEL_DEB_ARCH)
  set(OXBEL_DEB_ARCH amd64)
endif()
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${OXBEL_DEB_ARCH})
set(CPACK_DEBIAN_FILE_NAME "oxbel_${PROJECT_VERSION}_${OXBEL_DEB_ARCH}.deb")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://oxbel.invalid/")
# Below the summary line; CPack indents each line and marks empty ones.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Oxbel DVD to 3GP Converter turns the titles of a video DVD (a drive, a
VIDEO_TS folder or an ISO image) and ordinary video and audio files into
3GP, MP4, AVI, WMV, MPEG, DV, MP3, AAC, M4A, WMA, WAV, OGG and AC-3 files,
with device presets, trimming, cropping, effects and a watermark.

Encrypted DVDs need libdvdcss2 (from the libdvd-pkg package in contrib):
libdvdread uses it to descramble them when it is installed.")
# What the binaries link, found by dpkg-shlibdeps, and what the program loads
# itself at run time: the FFmpeg 5.1 libraries, SDL 2, libdvdread (for the
# DVD plug-in) and Qt 6 with its window-system plug-ins.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libavcodec59 (>= 7:5.1), libavformat59 (>= 7:5.1), libavutil57 (>= 7:5.1), libswscale6 (>= 7:5.1), \
libswresample4 (>= 7:5.1), libavfilter8 (>= 7:5.1), libavdevice59 (>= 7:5.1), libsdl2-2.0-0, libdvdread8, libqt6core6, libqt6gui6, libqt6widgets6, libqt6network6, libqt6xml6, libqt6dbus6, \
qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libdvdcss2")

include(CPack)
