# The calls tests/web/libm/LibmLog.cpp logs, taken over by the linker in both builds of the replay
# tool that the maths check holds against each other.
set(QUELVANE_LIBM_WRAP
    -Wl,--wrap=atan,--wrap=sin,--wrap=cos,--wrap=sincos,--wrap=atanf,--wrap=sinf,--wrap=cosf,--wrap=sincosf
    -Wl,--wrap=_ZN8quelvane8portable4atanEd,--wrap=_ZN8quelvane8portable3sinEd,--wrap=_ZN8quelvane8portable3cosEd)
