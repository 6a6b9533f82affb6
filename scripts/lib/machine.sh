# What this machine can run. Sourced by the scripts.

# Whether the kernel runs 32-bit x86 programs, which wine32's loader is. Some virtual machines'
# kernels run none ("Exec format error"): there setup.exe is still built for 32-bit Windows,
# but the programs that must run under Wine are built for 64-bit Windows and run under wine64.
runs_32bit_programs() {
  [ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
}
