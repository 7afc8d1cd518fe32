# Thin driver: install what is missing, configure, build, run or test.
BUILD ?= build
JOBS ?= 2
CASE ?= examples/water_water_auto.json

.PHONY: all deps configure build programs run cli test test-sweep test-all bench clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null

# Everything: programs, tests, benchmarks.
build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The two programs, br.mdb and the translation; no tests, no benchmarks.
programs: configure
	@cmake --build $(BUILD) -j $(JOBS) --target programs

# Starts the window when it was built, else runs an example case headless.
run: programs
	@if [ -x $(BUILD)/bin/pheselect ]; then $(BUILD)/bin/pheselect; \
	else $(BUILD)/bin/pheselect-cli --case $(CASE); fi

# Standard output is the program's JSON alone: the build speaks only when it
# fails, and then on standard error.
cli:
	@bash scripts/install-deps.sh >&2
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@log=$$(cmake --build $(BUILD) -j $(JOBS) --target pheselect-cli 2>&1) || { echo "$$log" >&2; exit 1; }
	@$(BUILD)/bin/pheselect-cli --case $(CASE)

# Tiers: "fast" (every test but the sweeps; about a minute on two cores),
# "sweep" (thousands of generated cases). CI runs test-all.
test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -L fast

test-sweep: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -L sweep

test-all: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: configure
	@cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	@$(BUILD)/bin/benchmarks

clean:
	rm -rf $(BUILD)
