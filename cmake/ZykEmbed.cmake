# zyk_embed(<target> <namespace> <name> <file>)
# Embeds <file> into <target> through an assembler .incbin and defines
#   const unsigned char* <namespace>::getData_<name>();
#   unsigned long <namespace>::getDataSize_<name>();
function(zyk_embed target ns name file)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/embed)
  set(sym zyk_embedded_${ns}_${name})
  file(MAKE_DIRECTORY ${out})
  file(WRITE ${out}/${name}.S.in
"    .section .rodata.${sym},\"a\",@progbits
    .balign 16
    .globl ${sym}_begin
    .hidden ${sym}_begin
${sym}_begin:
    .incbin \"${file}\"
    .globl ${sym}_end
    .hidden ${sym}_end
${sym}_end:
    .byte 0
    .section .note.GNU-stack,\"\",@progbits
")
  configure_file(${out}/${name}.S.in ${out}/${name}.S COPYONLY)
  file(WRITE ${out}/${name}.cpp.in
"extern \"C\" const unsigned char ${sym}_begin[];
extern \"C\" const unsigned char ${sym}_end[];
namespace ${ns} {
const unsigned char* getData_${name}() { return ${sym}_begin; }
unsigned long getDataSize_${name}() { return static_cast<unsigned long>(${sym}_end - ${sym}_begin); }
}
")
  configure_file(${out}/${name}.cpp.in ${out}/${name}.cpp COPYONLY)
  set_source_files_properties(${out}/${name}.S PROPERTIES OBJECT_DEPENDS ${file})
  target_sources(${target} PRIVATE ${out}/${name}.S ${out}/${name}.cpp)
endfunction()
