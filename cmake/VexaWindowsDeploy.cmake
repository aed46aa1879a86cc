# Windows: the program folder the installer and the portable .zip ship,
# made by `cmake --install`: the three programs, the Qt DLLs they load, the
# plugins in the folders Qt looks for beside the program (platforms/,
# styles/; Qt 6 prints on Windows from Qt6PrintSupport.dll itself), Qt's own Russian texts in translations/ and a
# qt.conf that keeps Qt inside this folder. Qt was built with its compiler
# runtime linked in (scripts/cross-deps.sh): no mingw DLLs to ship.

foreach(_program vexa vexa-render vexa-rec)
  if(TARGET ${_program})
    install(TARGETS ${_program} RUNTIME DESTINATION .)
  endif()
endforeach()

foreach(_module Core Gui Widgets PrintSupport Network)
  install(FILES $<TARGET_FILE:Qt6::${_module}> DESTINATION .)
endforeach()

# The windows platform (the program), offscreen (vexa-render without a
# display, if asked) and the native style.
set(_plugins
  QWindowsIntegrationPlugin platforms
  QOffscreenIntegrationPlugin platforms
  QWindowsVistaStylePlugin styles)
while(_plugins)
  list(POP_FRONT _plugins _plugin _folder)
  if(NOT TARGET Qt6::${_plugin})
    message(FATAL_ERROR "Qt for Windows has no ${_plugin}: rebuild it with scripts/cross-deps.sh qt")
  endif()
  install(FILES $<TARGET_FILE:Qt6::${_plugin}> DESTINATION ${_folder})
endwhile()

# Qt's Russian texts (standard dialogs, edit menus) from the native Qt's
# translations of the same version (qt6-translations-l10n).
find_file(VEXA_QTBASE_RU qtbase_ru.qm PATHS /usr/share/qt6/translations NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH)
if(VEXA_QTBASE_RU)
  install(FILES ${VEXA_QTBASE_RU} DESTINATION translations)
else()
  message(WARNING "qtbase_ru.qm not found (qt6-translations-l10n): Qt's own texts stay English")
endif()

set(_qt_conf ${PROJECT_BINARY_DIR}/qt.conf)
file(WRITE ${_qt_conf} "[Paths]\nPrefix = .\nPlugins = .\nTranslations = translations\n")
install(FILES ${_qt_conf} DESTINATION .)

# EDFlib is linked into the programs; its licence (BSD) asks for its notice
# beside them. scripts/cross-deps.sh edflib puts LICENSE beside include/.
if(VEXA_HAVE_EDF AND EXISTS ${EDFlib_INCLUDE_DIR}/../LICENSE)
  install(FILES ${EDFlib_INCLUDE_DIR}/../LICENSE DESTINATION . RENAME EDFlib-LICENSE.txt)
endif()
