# The Windows packages: a portable .zip (the exe, README, licence in one folder) and an installer
# made with NSIS (packaging/windows/larkspur.nsi). Both land in packages/ of the build folder.
find_program(MAKENSIS makensis REQUIRED)  # Debian's nsis

set(packages ${PROJECT_BINARY_DIR}/packages)
set(portable Larkspur-${PROJECT_VERSION}-win64)
set(stage ${packages}/stage/${portable})
set(zip ${packages}/${portable}.zip)
set(installer ${packages}/Larkspur-${PROJECT_VERSION}-setup.exe)
set(script ${PROJECT_SOURCE_DIR}/packaging/windows/larkspur.nsi)
set(LARKSPUR_WINDOWS_INSTALLER ${installer})
set(LARKSPUR_WINDOWS_ZIP ${zip})

# .txt names, so that a double click opens them in Notepad; the README is the plain-text one for
# Windows users (the Markdown one is for developers), with Windows line ends.
set(windows_readme ${packages}/README.txt)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/README.txt ${windows_readme} @ONLY
               NEWLINE_STYLE WIN32)
add_custom_command(
  OUTPUT ${zip} ${installer}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${packages}/stage
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:larkspur> ${stage}/larkspur.exe
  COMMAND ${CMAKE_COMMAND} -E copy ${windows_readme} ${stage}/README.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE ${stage}/LICENSE.txt
  COMMAND ${CMAKE_COMMAND} -E chdir ${packages}/stage
          ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip ${portable}
  COMMAND ${MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DPUBLISHER=${LARKSPUR_PUBLISHER}
          -DSOURCE=${stage} -DICON=${PROJECT_SOURCE_DIR}/data/icons/larkspur.ico
          -DOUTFILE=${installer} ${script}
  DEPENDS larkspur ${script} ${windows_readme} ${PROJECT_SOURCE_DIR}/LICENSE
          ${PROJECT_SOURCE_DIR}/data/icons/larkspur.ico
  VERBATIM)
add_custom_target(larkspur_windows_packages ALL DEPENDS ${zip} ${installer})
