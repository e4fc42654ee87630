# make run: build and translate the bundled example models.
# make test: build and run every test.
BUILD ?= build
JOBS ?= 2

.PHONY: all build run test clean

all: build

build:
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@mkdir -p out
	@for m in examples/*.tlv; do \
	  echo "== $$m"; \
	  (cd out && ../$(BUILD)/talven ../$$m) || exit $$?; \
	done

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) out
