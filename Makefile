# Thin wrapper over CMake. `make run` and `make test` install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: deps configure build run test unit-test windows-check bench clean

deps:
	scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/velmora

test: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DVELMORA_WERROR=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory windows-check

# Builds in Release and runs every benchmark five times (the table shows the fastest run);
# BENCH_ARGS replaces the options, e.g. BENCH_ARGS=--benchmark_filter=iteration.
BENCH_ARGS ?= --benchmark_repetitions=5 --benchmark_min_time=0.2 --benchmark_report_aggregates_only=true
bench: configure
	cmake --build $(BUILD) -j $(JOBS) --target velmora-bench
	$(BUILD)/bench/velmora-bench $(BENCH_ARGS)

windows-check: deps
	cmake -S . -B $(BUILD)-windows-check -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake \
	    -DVELMORA_COMPILE_ONLY=ON -DVELMORA_WERROR=ON -DVELMORA_TESTS=OFF
	cmake --build $(BUILD)-windows-check -j $(JOBS)

clean:
	rm -rf $(BUILD) $(BUILD)-windows-check
