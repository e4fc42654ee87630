# make run: build, translate the bundled example models and build their
# simulations (out/<model>/bin/<model>, when fpc is installed).
# make test: build and run every test.
BUILD ?= build
JOBS ?= 2

.PHONY: all build run test clean

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
	    (cd $$dir && fpc -Mdelphi -dRTMODEL -Fu../../runtime -FUbin -FEbin $$stem.DPR >fpc.log) \
	      && echo "   built $$dir/bin/$$stem" || { cat $$dir/fpc.log; exit 1; }; \
	  fi; \
	done

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) out
