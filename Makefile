# The two front doors: `make demo` and `make test`. Both install what is
# missing (scripts/setup.sh), configure with CMake presets and build.
BUILD := build/default
JOBS ?= $(shell nproc)

.PHONY: all setup build demo test test-native clean

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

test: test-native

clean:
	rm -rf build
