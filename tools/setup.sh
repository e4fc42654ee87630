#!/usr/bin/env bash
# Installs with apt-get what a make target needs and this machine lacks:
#   setup.sh run    the translator and the simulations: cmake, a C++
#                   compiler, Free Pascal
#   setup.sh test   that, and what the tests use: GoogleTest, shapelib's
#                   dbfcreate (writes the dBase test tables), npm (the
#                   editor grammar's test tool), vim, python3, rsvg-convert
#                   (renders the SVG plots), groff (renders the manual page),
#                   slurm-wlm and munge (a one-node cluster for the sweep
#                   test), clang with its libFuzzer and sanitizer
#                   runtimes (the fuzzing smoke and make sanitize)
# As root it installs; otherwise through sudo; without either it names
# the packages and fails.
set -euo pipefail
what=${1:-run}
have() { command -v "$1" >/dev/null 2>&1; }
need=()
have cmake || need+=(cmake)
have c++ || have g++ || need+=(g++)
have fpc || need+=(fpc)
if [ "$what" = test ]; then
  [ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
  have dbfcreate || need+=(shapelib)
  have npm || need+=(npm)
  have vim || need+=(vim)
  have python3 || need+=(python3)
  have rsvg-convert || need+=(librsvg2-bin)
  have groff || need+=(groff-base)
  # the one-node Slurm cluster of the sweep test
  have slurmctld || [ -x /usr/sbin/slurmctld ] || need+=(slurm-wlm)
  have munged || [ -x /usr/sbin/munged ] || need+=(munge)
  have clang++-14 || need+=(clang-14)
  compgen -G "/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null ||
    need+=(libclang-rt-14-dev)
fi
[ ${#need[@]} -eq 0 ] && exit 0
if ! have apt-get; then
  echo "setup: please install: ${need[*]}" >&2
  exit 1
fi
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif have sudo; then
  sudo=(sudo)
else
  echo "setup: not root and no sudo; please install: ${need[*]}" >&2
  exit 1
fi
echo "setup: installing ${need[*]}" >&2
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null
