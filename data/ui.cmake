# The panel's user-interface description, written by tools/panelgen at build time and embedded in its own
# library (zykuidata), which only the editor links.
set(ZYK_UI_XML ${CMAKE_CURRENT_BINARY_DIR}/ui/zyk_ui.xml)
add_custom_command(
  OUTPUT ${ZYK_UI_XML}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/ui
  COMMAND panelgen ${ZYK_UI_XML}
  DEPENDS panelgen
  COMMENT "Drawing the panel and writing its user-interface description"
  VERBATIM)
add_custom_target(zykuixml DEPENDS ${ZYK_UI_XML})
add_library(zykuidata STATIC)
add_dependencies(zykuidata zykuixml)
zyk_embed(zykuidata k1editor uiXml ${ZYK_UI_XML})
