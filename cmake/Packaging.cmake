# Packages for users: on Linux `cpack` makes a .deb for Debian; the Windows build makes a
# portable .zip and a per-user installer. scripts/package.sh makes all three.
set(LARKSPUR_PUBLISHER Quillmark)
set(CPACK_PACKAGE_NAME larkspur)
set(CPACK_PACKAGE_VENDOR ${LARKSPUR_PUBLISHER})
set(CPACK_PACKAGE_CONTACT "${LARKSPUR_PUBLISHER} <larkspur@quillmark.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsPackages.cmake)
else()
  include(${CMAKE_CURRENT_LIST_DIR}/DebianPackage.cmake)
endif()
