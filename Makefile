# make talven   build the translator alone: build/talven
# make run      build the translator, then build and run every example
#               with `talven run`, printing each report (the files each
#               run writes go to out/<model>/)
# make test     build everything and run every test
# make install  install talven, its runtime units (compiled once) and the
#               documentation under PREFIX (default /usr/local)
# make talven, make run and make test first install what they lack
# (tools/setup.sh).
# make sanitize every test again, built with AddressSanitizer and UBSan
# make fuzz     fuzz the translator (FUZZTIME seconds per target, one core)
# make test also runs a one-minute fuzzing smoke.
BUILD ?= build
SANBUILD ?= build-san
JOBS ?= 2
PREFIX ?= /usr/local
CONFIGURE = cmake -S . -B "$(BUILD)" -DCMAKE_BUILD_TYPE=RelWithDebInfo
CLANGXX ?= clang++-14
FUZZTIME ?= 600

.PHONY: all build talven run test install clean bench bench-sim sanbuild sanitize fuzz fuzz-smoke

all: build

# Everything this configuration has (the tests when GoogleTest is there).
build:
	@$(CONFIGURE) >/dev/null
	@cmake --build "$(BUILD)" -j $(JOBS)

talven:
	@bash tools/setup.sh run
	@$(CONFIGURE) >/dev/null
	@cmake --build "$(BUILD)" -j $(JOBS) --target talven

run: talven
	@for m in examples/*.tlv; do \
	  stem=$$(basename "$$m" .tlv); \
	  echo "== $$m"; \
	  "$(BUILD)/talven" run "$$m" -- --out "out/$$stem" </dev/null || exit $$?; \
	done

test:
	@bash tools/setup.sh test
	@$(CONFIGURE) -DTALVEN_TESTS=ON >/dev/null
	@cmake --build "$(BUILD)" -j $(JOBS)
	@cd "$(BUILD)" && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory fuzz-smoke

install: talven
	@cmake --install "$(BUILD)" --prefix "$(PREFIX)"

# make bench: the translator on generated models of 1 000 to 200 000 lines
# with random and with ordered names (time, time per line, peak memory, and
# the fpc build of the same program beside it), whether the targets hold,
# then the Google Benchmark of the hot routines.
bench:
	@dpkg -s libbenchmark-dev >/dev/null 2>&1 || \
	  DEBIAN_FRONTEND=noninteractive apt-get install -y libbenchmark-dev >/dev/null 2>&1 || true
	@$(MAKE) --no-print-directory build
	@bash bench/run.sh $(BUILD)

# make bench-sim: each simulation benchmark of bench/sim/ and the same
# model in SimPy, in one run: rates, their ratio and peak memory.
bench-sim: build
	@command -v fpc >/dev/null || { echo "bench-sim: fpc is needed"; exit 1; }
	@[ -x /usr/bin/time ] && /usr/bin/python3 -c 'import simpy' 2>/dev/null || \
	  DEBIAN_FRONTEND=noninteractive apt-get install -y time python3-simpy3 >/dev/null
	@/usr/bin/python3 bench/sim/bench.py --talven $(abspath $(BUILD))/talven --memory

clean:
	rm -rf "$(BUILD)" "$(SANBUILD)" out examples/*-build

# The sanitized build (with clang, the fuzz targets too). SANTARGETS limits
# what is built.
sanbuild:
	@bash tools/setup.sh test
	@cmake -S . -B "$(SANBUILD)" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=$(CLANGXX) -DTALVEN_SANITIZE=ON -DTALVEN_TESTS=ON >/dev/null
	@cmake --build $(SANBUILD) -j $(JOBS) $(if $(SANTARGETS),--target $(SANTARGETS))

sanitize:
	@$(MAKE) --no-print-directory sanbuild
	@cd $(SANBUILD) && ctest --output-on-failure -j $(JOBS)

fuzz-smoke:
	@$(MAKE) --no-print-directory sanbuild SANTARGETS="talven_fuzz_text talven_fuzz_model talven_fuzz_dict"
	@bash fuzz/run.sh $(SANBUILD) . 30 smoke

fuzz:
	@$(MAKE) --no-print-directory sanbuild SANTARGETS="talven_fuzz_text talven_fuzz_model talven_fuzz_dict"
	@bash fuzz/run.sh $(SANBUILD) . $(FUZZTIME) campaign
