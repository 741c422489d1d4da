# Thin wrapper over CMake. `make run` and `make test` install what is missing first: `make run`
# only what building and running need (scripts/packages-run.txt), `make test` what testing adds.
BUILD ?= build
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

# ccache (from the test list) serves the configure check's second build from the first; looked
# up when a recipe runs, after the packages are installed.
CCACHE = $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

SAN_BUILD ?= build-sanitize
FUZZ_SECONDS ?= 60
.PHONY: deps configure build run test configure-check windows-build windows-test test-sanitize sanitize-build fuzz bench clean

deps:
	scripts/install-deps.sh run test

.PHONY: run-deps install package
run-deps:
	scripts/install-deps.sh run

# The two programs and their man pages, without tests or benchmarks.
configure: run-deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF \
	    $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS) --target velmora velmora-render velmora-man-pages

run: build
	$(BUILD)/velmora

# Installs under PREFIX (DESTDIR stages it); `make package` makes the .deb in $(BUILD).
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	cd $(BUILD) && cpack

test: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DVELMORA_WERROR=ON -DVELMORA_TESTS=ON \
	    -DVELMORA_BENCH=ON $(CCACHE) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory configure-check

# A tree without GoogleTest and Google Benchmark configures and builds both programs, and asking
# for the tests explicitly there fails at configure.
WITHOUT_TEST_LIBS := -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
configure-check: deps
	cmake -S . -B $(BUILD)-minimal -DVELMORA_WERROR=ON $(WITHOUT_TEST_LIBS) $(CCACHE) >/dev/null
	cmake --build $(BUILD)-minimal -j $(JOBS)
	@test -x $(BUILD)-minimal/velmora && test -x $(BUILD)-minimal/velmora-render
	@! cmake -S . -B $(BUILD)-minimal-required -DVELMORA_TESTS=ON $(WITHOUT_TEST_LIBS) \
	    >/dev/null 2>&1 || { echo "VELMORA_TESTS=ON configured without GoogleTest"; exit 1; }
	@rm -rf $(BUILD)-minimal-required

# Builds in Release and runs every benchmark five times (the table shows the median), each frame
# size in a process of its own so that no size inherits the allocator's state from another.
# BENCH_FILTER picks benchmarks by name (e.g. BENCH_FILTER=iteration, or 'iteration|live': the
# pattern is grouped before the size is added); BENCH_ARGS replaces the other options.
BENCH_SIZES ?= 640x480 1280x720 1920x1080 3840x2160
BENCH_FILTER ?= .
BENCH_ARGS ?= --benchmark_repetitions=5 --benchmark_min_time=0.2 --benchmark_report_aggregates_only=true
bench: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target velmora-bench
	@for size in $(BENCH_SIZES); do \
	    $(BUILD)/bench/velmora-bench $(BENCH_ARGS) --benchmark_filter='($(BENCH_FILTER)).*/'$$size'/' \
	        || exit 1; \
	done

# velmora.exe and velmora-render.exe cross-built with mingw-w64 (scripts/windows-build.sh).
WINDOWS_BUILD ?= $(BUILD)-windows
windows-build: deps
	BUILD=$(WINDOWS_BUILD) JOBS=$(JOBS) scripts/windows-build.sh

# Both Windows programs end to end under Wine on Xvfb, compared with the Linux build.
windows-test: windows-build
	test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target velmora-render
	VELMORA_WINDOWS_BUILD=$(abspath $(WINDOWS_BUILD)) VELMORA_RENDER=$(abspath $(BUILD))/velmora-render \
	    tests/windows/windows_test.sh

# clang build with AddressSanitizer and UndefinedBehaviorSanitizer; also holds the fuzzers. Its
# programs stop at the first finding (tests/sanitizers/sanitizer_defaults.cpp).
sanitize-build: deps
	cmake -S . -B $(SAN_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DVELMORA_WERROR=ON -DVELMORA_SANITIZE=ON -DVELMORA_FUZZ=ON -DVELMORA_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(SAN_BUILD) -j $(JOBS)

# Every unit and end-to-end test under the sanitizers.
test-sanitize: sanitize-build
	ctest --test-dir $(SAN_BUILD) --output-on-failure -j $(JOBS)

# Each harness for FUZZ_SECONDS on a scratch copy of its seed corpus; a crasher lands in
# $(SAN_BUILD)/fuzz-artifacts/ (keep it in fuzz/regressions/HARNESS/ once fixed).
fuzz: sanitize-build
	@set -e; for path in $(SAN_BUILD)/fuzz/*_fuzzer; do \
	    name=$$(basename $$path); work=$(SAN_BUILD)/fuzz-work/$$name; \
	    rm -rf $$work; mkdir -p $$work $(SAN_BUILD)/fuzz-artifacts; \
	    cp fuzz/corpus/$$name/* $$work/; \
	    echo "fuzzing $$name for $(FUZZ_SECONDS) s"; \
	    $$path -max_total_time=$(FUZZ_SECONDS) -timeout=30 -rss_limit_mb=3072 \
	        -print_final_stats=1 -artifact_prefix=$(SAN_BUILD)/fuzz-artifacts/$$name- \
	        $$work >$(SAN_BUILD)/fuzz-artifacts/$$name.log 2>&1 \
	        || { tail -n 60 $(SAN_BUILD)/fuzz-artifacts/$$name.log; exit 1; }; \
	    grep -E '^stat::(number_of_executed_units|peak_rss_mb)' $(SAN_BUILD)/fuzz-artifacts/$$name.log; \
	done

clean:
	rm -rf $(BUILD) $(BUILD)-minimal $(WINDOWS_BUILD) $(SAN_BUILD)
