# make run: build, translate the bundled example models and build their
# simulations (out/<model>/bin/<model>, when fpc is installed).
# make test: build and run every test.
BUILD ?= build
JOBS ?= 2

.PHONY: all build run test clean bench bench-sim

all: build

build:
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@for m in examples/*.tlv; do \
	  stem=$$(basename $$m .tlv); dir=out/$$stem; \
	  echo "== $$m -> $$dir"; \
	  mkdir -p $$dir/bin && cp $$m $$dir/ && \
	  (cd $$dir && $(abspath $(BUILD))/talven $$stem.tlv) || exit $$?; \
	  if command -v fpc >/dev/null; then \
	    (cd $$dir && fpc -Mdelphi -Fu../../runtime -FUbin -FEbin $$stem.DPR >fpc.log) \
	      && echo "   built $$dir/bin/$$stem" || { cat $$dir/fpc.log; exit 1; }; \
	  fi; \
	done

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

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
	rm -rf $(BUILD) out
