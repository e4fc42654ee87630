# make run: build, translate the bundled example models and build their
# simulations (out/<model>/bin/<model>, when fpc is installed).
# make test: build and run every test.
BUILD ?= build
JOBS ?= 2

.PHONY: all build run test clean bench-sim

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

# make bench-sim: each simulation benchmark of bench/sim/ and the same
# model in SimPy, in one run: rates, their ratio and peak memory.
bench-sim: build
	@command -v fpc >/dev/null || { echo "bench-sim: fpc is needed"; exit 1; }
	@[ -x /usr/bin/time ] && /usr/bin/python3 -c 'import simpy' 2>/dev/null || \
	  DEBIAN_FRONTEND=noninteractive apt-get install -y time python3-simpy3 >/dev/null
	@/usr/bin/python3 bench/sim/bench.py --talven $(abspath $(BUILD))/talven --memory

clean:
	rm -rf $(BUILD) out
