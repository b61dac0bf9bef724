# The two front doors: `make demo` and `make test`. Both install what is
# missing (scripts/setup.sh), configure with CMake presets and build.
BUILD := build/default
JOBS ?= $(shell nproc)

.PHONY: all setup build demo test format format-check test-native test-asan test-tsan test-fuzz test-32 windows package test-package clean

all: build

setup:
	@scripts/setup.sh

build: setup
	@cmake --preset default >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

demo: build
	@scripts/demo.sh $(BUILD)

test-native: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The Windows DLLs (i686 and x86_64), the x86_64 tests under Wine.
windows:
	@JOBS=$(JOBS) scripts/windows.sh

# The packages: the Debian package of the native build and the zips of the
# two MinGW builds (scripts/package.sh, cmake/QorPackaging.cmake).
package:
	@JOBS=$(JOBS) scripts/package.sh

# The packages as a user meets them (tests/package/check_packages.sh):
# extracted, their programs and consumers built against them run, lintian.
test-package: package
	@scripts/setup.sh lintian pkg-config unzip wine64
	@tests/package/check_packages.sh

# The whole suite built for 32-bit Linux (i686) and run under qemu-i386:
# the 32-bit data model of the library's callers, on machines that cannot
# run 32-bit Windows programs. One build, ctest in parallel.
test-32:
	@JOBS=$(JOBS) scripts/linux32.sh

# Native tests, the same suite under AddressSanitizer + UBSan, the threaded
# tests under ThreadSanitizer and a smoke run of every fuzz harness; the
# 32-bit suite under qemu-i386; then the Windows builds and their tests;
# then the packages, made and checked.
test: test-native test-asan test-tsan test-fuzz
	@$(MAKE) --no-print-directory test-32
	@$(MAKE) --no-print-directory windows
	@$(MAKE) --no-print-directory test-package

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer,
# no recovery: any report fails its test. The kill loop of the crash tests
# is short here; the native run does the full 200 kills.
ASAN_BUILD := build/asan
test-asan: setup
	@cmake --preset asan >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && QOR_CRASH_KILLS=20 ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
		UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# The tests that run threads (the process lock, the table lock, concurrent
# handles and saves) under ThreadSanitizer; any report fails the test.
TSAN_BUILD := build/tsan
THREADED_TESTS := Lock|Concurrent
test-tsan: setup
	@cmake --preset tsan >/dev/null
	@cmake --build $(TSAN_BUILD) -j $(JOBS) --target platform_tests table_tests reliability_tests
	@cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
		ctest --output-on-failure -j $(JOBS) -R '$(THREADED_TESTS)'

# libFuzzer harnesses (fuzz/), built with clang. `make test` runs each for a
# few seconds on its seed corpus; `make fuzz` runs each for FUZZ_SECONDS and
# prints its executions. Crashes land in build/fuzz/fuzz/work/artifacts.
FUZZ_BUILD := build/fuzz
FUZZ_SECONDS ?= 60
.PHONY: fuzz fuzz-build
fuzz-build:
	@command -v clang++ >/dev/null || scripts/setup.sh clang libclang-rt-14-dev
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DQOR_BUILD_FUZZ=ON -DQOR_BUILD_TESTS=OFF -DQOR_BUILD_TOOLS=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers

test-fuzz: fuzz-build
	@cd $(FUZZ_BUILD)/fuzz && ctest --output-on-failure -j $(JOBS)

fuzz: fuzz-build
	@for source in fuzz/*_fuzzer.cpp; do \
		name=$$(basename $$source .cpp); \
		fuzz/run_fuzzer.sh $(FUZZ_BUILD)/fuzz/$$name $(FUZZ_SECONDS) fuzz/corpus/$$name $(FUZZ_BUILD)/fuzz/work || exit 1; \
	done

# The long campaign: every harness to FUZZ_RUNS executions, one at a time,
# at the lowest priority (docs/robustness.md has the figures).
FUZZ_RUNS ?= 1000000
.PHONY: fuzz-campaign
fuzz-campaign: fuzz-build
	@for source in fuzz/*_fuzzer.cpp; do \
		name=$$(basename $$source .cpp); \
		FUZZ_RUNS=$(FUZZ_RUNS) fuzz/run_fuzzer.sh $(FUZZ_BUILD)/fuzz/$$name 0 fuzz/corpus/$$name $(FUZZ_BUILD)/fuzz/work || exit 1; \
	done

# Wine's regedit read-back of every case of the regedit corpus
# (tests/peer/regedit_corpus.py), committed as tests/peer/regedit_corpus_wine.json;
# the regedit_corpus test compares qorreg import with it. Minutes: every case
# is one regedit run, in a Wine prefix of its own (build/peer/wineprefix).
.PHONY: peer-refresh
peer-refresh:
	@scripts/setup.sh wine64
	@nice tests/peer/regedit_corpus_wine.sh refresh

# Saves killed at random moments, KILLS times (the test suite does 200).
KILLS ?= 1000
.PHONY: crashtest
crashtest: build
	@QOR_CRASH_KILLS=$(KILLS) $(BUILD)/tests/reliability/reliability_tests --gtest_filter='CrashSafety.*'

# The house layout (.clang-format) by machine, with the pinned clang-format
# 14: `make format` rewrites, `make format-check` fails on any file that
# differs (CI runs it first).
format:
	@scripts/format.sh

format-check:
	@scripts/format.sh --check

# clang-tidy with the checked-in .clang-tidy over the library and the tool,
# using the default build's compile_commands.json; any finding fails it.
# CI runs it after format-check, before `make test`.
.PHONY: lint
lint: build
	@scripts/lint.sh $(BUILD)

clean:
	rm -rf build

# Line, function and branch coverage of the library and the tool by the
# whole native suite (a Debug build with --coverage in build/coverage, then
# gcovr); the summary replaces its part of docs/robustness.md.
.PHONY: coverage
coverage:
	@JOBS=$(JOBS) scripts/coverage.sh

# Benchmarks and the peer comparison: writes docs/performance.md and
# docs/performance.png. BENCH_REPEAT runs per measure, the best counts
# (QSettings' load and change, seconds each on 100,000 keys, take at most
# 3); BENCH_BASELINE, a build folder of an earlier version, adds before/after.
# Qt 6 (qt6-base-dev), GLib (libglib2.0-dev) and SimpleIni (libsimpleini-dev)
# are installed here for the peers only; without one the bench still builds
# and that peer's goals read "not measured".
# -O2 is the optimisation of the shipped build (RelWithDebInfo).
BENCH_BUILD := build/bench
BENCH_REPEAT ?= 5
.PHONY: bench
bench:
	@scripts/setup.sh libbenchmark-dev gnuplot-nox qt6-base-dev libglib2.0-dev libsimpleini-dev
	@cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQOR_BUILD_BENCH=ON \
		-DQOR_BUILD_TOOLS=OFF "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS) --target micro_bench bench_drivers
	@bench/report --build $(BENCH_BUILD) --repeat $(BENCH_REPEAT) $(if $(BENCH_BASELINE),--baseline $(BENCH_BASELINE))

# The API reference from the public headers (build/docs/html; a header name
# without a doc comment fails it) and the architecture diagram
# (docs/architecture.svg from docs/architecture.dot).
.PHONY: docs
docs:
	@scripts/setup.sh doxygen graphviz
	@mkdir -p build/docs
	@doxygen docs/Doxyfile
	@dot -Tsvg docs/architecture.dot -o docs/architecture.svg
	@echo "docs: build/docs/html/index.html and docs/architecture.svg"
