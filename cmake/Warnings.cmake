# One warning policy for both compilers, applied to the project's own
# targets only (third-party sources such as GoogleTest keep their own).
set(BASIS_WARNINGS -Wall -Wextra -Werror)
function(basis_warnings target)
  target_compile_options(${target} PRIVATE ${BASIS_WARNINGS})
endfunction()
if(WIN32)
  # Link the C and C++ runtimes and winpthreads into each module, so the
  # programs run under Wine with nothing but basis.dll beside them.
  add_link_options(-static-libgcc -static-libstdc++ -static)
endif()
