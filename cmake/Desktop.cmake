# The editor on a Linux desktop: install rules, the desktop's files (entry,
# icons, file type, AppStream metadata with a screenshot) and the Debian
# package.
#
# Under the prefix P (FHS: a program's own files under lib/NAME):
#   P/lib/korvane-localeeditor/   the application folder: LocaleEditor,
#                                 lib/libztlocale.so.1, locale/, Documentation/,
#                                 hey, mime-default, the marker "installed"
#   P/bin/korvane-localeeditor    a relative link to the executable, so the
#                                 program still finds its folder beside it
#   P/bin/korvane-hey             a relative link to hey: the plain name
#                                 belongs to an unrelated Debian package
#   P/share/applications/korvane-localeeditor.desktop
#   P/share/applications/mimeapps.list   one line per type, merged in (below)
#   P/share/icons/hicolor/*/apps/korvane-localeeditor.{png,svg}
#   P/share/mime/packages/korvane-localeeditor.xml
#   P/share/metainfo/com.korvane.LocaleEditor.metainfo.xml
#   P/share/korvane-localeeditor/screenshot.png
set(LE_APP_NAME korvane-localeeditor)
set(LE_APPSTREAM_ID com.korvane.LocaleEditor)
set(LE_INSTALL_APP_DIR lib/${LE_APP_NAME})
set(LE_HEY_NAME korvane-hey)
# The file type, and the alias the desktop entry names.
set(LE_MIME_TYPES locale/x-vnd.vessmor-locale application/x-vnd.vessmor-locale)
set(LE_SCREENSHOT_URL "https://example.org/${LE_APP_NAME}/screenshot.png" CACHE STRING
	"Where the screenshot the build makes is published, for the AppStream metadata")

# The application folder.
set_target_properties(LocaleEditor PROPERTIES INSTALL_RPATH "\$ORIGIN/lib")
install(TARGETS LocaleEditor RUNTIME DESTINATION ${LE_INSTALL_APP_DIR})
install(TARGETS ztlocale LIBRARY DESTINATION ${LE_INSTALL_APP_DIR}/lib NAMELINK_SKIP)
install(DIRECTORY ${LE_APP_DIR}/locale/ DESTINATION ${LE_INSTALL_APP_DIR}/locale
	FILES_MATCHING PATTERN "*.locale")
install(FILES ${LE_APP_DIR}/Documentation/KorvaneLocale-UserGuide-English.html
	DESTINATION ${LE_INSTALL_APP_DIR}/Documentation)
# Tells the program that this folder is an installed copy, shared by every
# user and owned by the package or the administrator: its preferences and
# the user's own translations then go to the XDG folders, whoever runs it
# (editor/AppFolder.h). The build folder has no such file.
install(FILES ${PROJECT_SOURCE_DIR}/resources/installed-marker.txt
	DESTINATION ${LE_INSTALL_APP_DIR} RENAME installed)

# The launcher: a link made at configure time and installed as a link.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install/bin)
file(CREATE_LINK ../${LE_INSTALL_APP_DIR}/LocaleEditor
	${CMAKE_BINARY_DIR}/install/bin/${LE_APP_NAME} SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/install/bin/${LE_APP_NAME} DESTINATION bin)

# The scripting tool lies in the application folder too; on the PATH it is
# korvane-hey, since Debian's unrelated "hey" package owns /usr/bin/hey.
# Installed as a target, so that install --strip and the package strip it.
install(TARGETS hey RUNTIME DESTINATION ${LE_INSTALL_APP_DIR})
file(CREATE_LINK ../${LE_INSTALL_APP_DIR}/hey ${CMAKE_BINARY_DIR}/install/bin/${LE_HEY_NAME}
	SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/install/bin/${LE_HEY_NAME} DESTINATION bin)

# The desktop entry names the installed launcher, so it is written when the
# prefix is known: at install time (cmake --install --prefix, cpack).
install(CODE "
	set(LE_EXECUTABLE \"\${CMAKE_INSTALL_PREFIX}/bin/${LE_APP_NAME}\")
	configure_file(\"${PROJECT_SOURCE_DIR}/resources/LocaleEditor.desktop.in\"
		\"${CMAKE_BINARY_DIR}/install/${LE_APP_NAME}.desktop\" @ONLY)
")
install(FILES ${CMAKE_BINARY_DIR}/install/${LE_APP_NAME}.desktop DESTINATION share/applications)

# The default application for the file type: the entry's MimeType only says
# the editor can open it, and the alias it names is not what xdg-mime asks
# about. mimeapps.list is shared with other programs and the user, so it is
# merged into, never installed over: a plain install merges into the
# prefix's file here; a staged install (DESTDIR, as cpack makes the package)
# leaves it to the package's own scripts on the machine it is installed on.
install(PROGRAMS ${PROJECT_SOURCE_DIR}/resources/mime-default.sh
	DESTINATION ${LE_INSTALL_APP_DIR} RENAME mime-default)
install(CODE "
	if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
		execute_process(COMMAND sh \"${PROJECT_SOURCE_DIR}/resources/mime-default.sh\" add
			\"\${CMAKE_INSTALL_PREFIX}/share/applications\" ${LE_APP_NAME}.desktop ${LE_MIME_TYPES}
			RESULT_VARIABLE status)
		if(NOT status EQUAL 0)
			message(WARNING \"Could not make ${LE_APP_NAME} the default for its file type\")
		endif()
	endif()
")

install(DIRECTORY ${LE_APP_DIR}/share/icons/hicolor DESTINATION share/icons)
install(FILES ${PROJECT_SOURCE_DIR}/resources/${LE_APP_NAME}.xml DESTINATION share/mime/packages)

# AppStream metadata and the screenshot it shows, made by running the editor
# offscreen.
configure_file(${PROJECT_SOURCE_DIR}/resources/metainfo.xml.in
	${LE_APP_DIR}/share/metainfo/${LE_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${LE_APP_DIR}/share/metainfo/${LE_APPSTREAM_ID}.metainfo.xml
	DESTINATION share/metainfo)
add_executable(le_screenshot_tool ${PROJECT_SOURCE_DIR}/resources/ScreenshotTool.cpp)
target_link_libraries(le_screenshot_tool PRIVATE app_shell Qt6::Widgets)
# Its application folder is a scratch folder of its own.
set_target_properties(le_screenshot_tool PROPERTIES
	RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/screenshot
	BUILD_RPATH "${CMAKE_BINARY_DIR}/lib")
set(LE_SCREENSHOT ${LE_APP_DIR}/share/${LE_APP_NAME}/screenshot.png)
# Off the session bus: no running application should see it come and go.
add_custom_command(OUTPUT ${LE_SCREENSHOT}
	COMMAND ${CMAKE_COMMAND} -E env --unset=DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM=offscreen
		ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:le_screenshot_tool> --output=${LE_SCREENSHOT}
	DEPENDS le_screenshot_tool
	COMMENT "Taking the editor's screenshot"
	VERBATIM)
add_custom_target(editor_screenshot ALL DEPENDS ${LE_SCREENSHOT})
install(FILES ${LE_SCREENSHOT} DESTINATION share/${LE_APP_NAME})

# cpack -G DEB: the package's dependencies are computed from the installed
# binaries (dpkg-shlibdeps), not listed by hand.
set(CPACK_PACKAGE_NAME ${LE_APP_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Korvane Locale Editor maintainers <maintainers@korvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for the locale files of localizable applications")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps must find the editor's private library inside the package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${LE_INSTALL_APP_DIR}/lib)
# Besides the libraries: the session bus for scripting between
# applications, and the file type database the desktop reads.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "dbus-session-bus | dbus-x11, shared-mime-info, desktop-file-utils")
# Stripped binaries: the unstripped build is several times the size, and
# the debug symbols are for whoever builds it, not for the package's users.
set(CPACK_STRIP_FILES ON)
# The scripts that merge the default application into the system's
# mimeapps.list on install and take it out on removal.
string(REPLACE ";" " " LE_MIME_TYPES_SPACED "${LE_MIME_TYPES}")
foreach(script postinst prerm)
	configure_file(${PROJECT_SOURCE_DIR}/resources/${script}.in ${CMAKE_BINARY_DIR}/install/debian/${script}
		@ONLY)
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
	${CMAKE_BINARY_DIR}/install/debian/postinst ${CMAKE_BINARY_DIR}/install/debian/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
