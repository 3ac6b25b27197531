# Release builds carry the hardening Debian's own packages have: checked string and memory calls
# (_FORTIFY_SOURCE, which needs the optimiser), a stack protector, position-independent programs
# and a relocation table made read-only before main (full RELRO: -z relro with -z now).
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
if(CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$" AND NOT GLOBEVIEW_SANITIZE)
  add_compile_options(-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2 -fstack-protector-strong)
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
