# halcyra_runs_i386: whether this machine's kernel runs 32-bit x86 Linux
# programs, which the distribution's 32-bit Wine is. Some kernels have the
# ia32 emulation switched off ("Exec format error"); there 32-bit Windows
# programs cannot run under this Wine at all.
halcyra_runs_i386() {
  local dir rc
  command -v as >/dev/null && command -v ld >/dev/null || return 1
  dir=$(mktemp -d) || return 1
  printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$dir/exit.s"
  as --32 "$dir/exit.s" -o "$dir/exit.o" 2>/dev/null && ld -m elf_i386 "$dir/exit.o" -o "$dir/exit" 2>/dev/null &&
    "$dir/exit" 2>/dev/null
  rc=$?
  rm -rf "$dir"
  return $rc
}

# halcyra_wine32_ready: the 32-bit Wine is installed and starts.
halcyra_wine32_ready() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}
