# Holds the embedded wave ROM to the one identity recorded in waverom.sha256: whichever compiler,
# build type or sanitizer built wavegen, the image must hash the same.
file(SHA256 ${EMBEDDED} actual)
file(READ ${RECORDED} line)
string(REGEX MATCH "^[0-9a-f]+" recorded "${line}")
if(NOT actual STREQUAL recorded)
  message(FATAL_ERROR "the wave ROM's SHA-256 is ${actual}, ${RECORDED} records ${recorded}. "
                      "A deliberate change of wavegen records the new hash there and regenerates the "
                      "factory banks (target regenerate_factory_banks).")
endif()
