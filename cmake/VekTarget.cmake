# Warnings for the project's own targets: on, and fatal.
function(vek_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
