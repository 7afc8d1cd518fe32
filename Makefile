# Thin driver: install what is missing, configure, build, run or test.
BUILD ?= build
JOBS ?= 2
CASE ?= examples/water_water_auto.json

.PHONY: all deps build run cli test bench clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# Starts the window when it was built, else runs an example case headless.
run: build
	@if [ -x $(BUILD)/bin/pheselect ]; then $(BUILD)/bin/pheselect; \
	else $(BUILD)/bin/pheselect-cli --case $(CASE); fi

# Standard output is the program's JSON alone: the build speaks only when it
# fails, and then on standard error.
cli:
	@bash scripts/install-deps.sh >&2
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@log=$$(cmake --build $(BUILD) -j $(JOBS) --target pheselect-cli 2>&1) || { echo "$$log" >&2; exit 1; }
	@$(BUILD)/bin/pheselect-cli --case $(CASE)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@$(BUILD)/bin/benchmarks

clean:
	rm -rf $(BUILD)
