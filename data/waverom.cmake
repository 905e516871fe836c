# The wave ROM image, written by tools/wavegen at build time and embedded as k1data::getData_waverom().
set(waverom_file ${CMAKE_CURRENT_BINARY_DIR}/waverom.wav)
add_custom_command(OUTPUT ${waverom_file}
                   COMMAND wavegen ${waverom_file}
                   DEPENDS wavegen
                   COMMENT "Generating the wave ROM image")
add_custom_target(waverom_image DEPENDS ${waverom_file})
add_dependencies(k1data waverom_image)
zyk_embed(k1data k1data waverom ${waverom_file})
