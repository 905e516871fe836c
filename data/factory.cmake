# The factory bank images, authored by tools/bankgen and committed (saved projects compare against
# them, so they change only by deliberate regeneration). Each is embedded as
# k1data::getData_sysex_<ID>() / k1data::getDataSize_sysex_<ID>().
foreach(bank K1INT A101 A102 A103 A104 A105 A200 E101 E102 J101 J102 J103 PHm)
  zyk_embed(k1data k1data sysex_${bank} ${CMAKE_CURRENT_SOURCE_DIR}/factory/${bank}.syx)
endforeach()
