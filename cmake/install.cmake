# Install layout and packages.  A renderer's shader libraries are installed
# as lib/<library> with its declarations in include/<library>.mi; the preview
# tool and the stand-in renderer it runs the shaders in go to bin/.
#
#   cmake --install build/<preset> --prefix DIR
#   cpack --config build/<preset>/CPackConfig.cmake   -> one ZIP per target

# The plug-in is installed as the file it is: the renderer needs neither an
# import library nor anything else of the build.
install(FILES $<TARGET_FILE:zarn_tarvo_settings> DESTINATION lib)
install(FILES ${PROJECT_SOURCE_DIR}/include/zarn_tarvo_settings.mi DESTINATION include)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/architecture.md
  DESTINATION share/doc/zarn_tarvo_settings)
if(TARGET zarn-preview)
  install(TARGETS zarn-preview RUNTIME DESTINATION bin)
  install(FILES $<TARGET_FILE:stand_in_renderer> DESTINATION bin)
endif()

# The target as the presets name it: linux-x64, linux-x86, windows-x64, windows-x86.
string(TOLOWER "${CMAKE_SYSTEM_NAME}" zarn_system)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(ZARN_PACKAGE_TARGET ${zarn_system}-x64)
else()
  set(ZARN_PACKAGE_TARGET ${zarn_system}-x86)
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "zarn")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "mental ray shader library: render settings and trace continue")
set(zarn_package ${PROJECT_NAME}-${PROJECT_VERSION}-${ZARN_PACKAGE_TARGET})
set(CPACK_PACKAGE_FILE_NAME ${zarn_package})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_SOURCE_GENERATOR "")
# The ELF builds carry debug information; the package does without it.
if(NOT WIN32)
  set(CPACK_STRIP_FILES TRUE)
endif()
include(CPack)

# The installed tree and the package, checked as a user would use them.
if(BUILD_TESTING AND TARGET zarn-preview)
  string(REPLACE ";" "^^" zarn_emulator "${CMAKE_CROSSCOMPILING_EMULATOR}")
  add_test(NAME install_and_package
    COMMAND ${CMAKE_COMMAND}
      -DBUILD_DIR=${CMAKE_BINARY_DIR}
      -DCPACK=${CMAKE_CPACK_COMMAND}
      -DPACKAGE=${CMAKE_BINARY_DIR}/packages/${zarn_package}.zip
      -DLIBRARY=$<TARGET_FILE_NAME:zarn_tarvo_settings>
      -DPROGRAM=$<TARGET_FILE_NAME:zarn-preview>
      -DSTAND_IN=$<TARGET_FILE_NAME:stand_in_renderer>
      "-DEMULATOR=${zarn_emulator}"
      -P ${PROJECT_SOURCE_DIR}/tests/install_layout.cmake)
endif()
