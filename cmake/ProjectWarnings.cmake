# Shared compile flags: every target links qm_flags.
add_library(qm_flags INTERFACE)
target_compile_options(qm_flags INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
  -Woverloaded-virtual -Wnull-dereference -Wformat=2 -Wimplicit-fallthrough)
if(QM_WERROR)
  target_compile_options(qm_flags INTERFACE -Werror)
endif()
if(QM_SANITIZE)
  target_compile_options(qm_flags INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)
  target_link_options(qm_flags INTERFACE -fsanitize=address,undefined)
endif()
