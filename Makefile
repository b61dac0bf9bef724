# The two front doors: `make demo` and `make test`. Both install what is
# missing (scripts/setup.sh), configure with CMake presets and build.
BUILD := build/default
JOBS ?= $(shell nproc)

.PHONY: all setup build demo test test-native windows clean

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

# Native tests first, then the Windows builds and their tests.
test: test-native
	@$(MAKE) --no-print-directory windows

clean:
	rm -rf build

# Benchmarks and the peer comparison: writes docs/performance.md and
# docs/performance.png. BENCH_REPEAT runs per measure, the best counts.
# -O2 is the optimisation of the shipped build (RelWithDebInfo).
BENCH_BUILD := build/bench
BENCH_REPEAT ?= 3
.PHONY: bench
bench:
	@scripts/setup.sh libbenchmark-dev gnuplot-nox
	@cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQOR_BUILD_BENCH=ON \
		-DQOR_BUILD_TOOLS=OFF "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS) --target micro_bench compare_driver
	@bench/report --build $(BENCH_BUILD) --repeat $(BENCH_REPEAT)

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
