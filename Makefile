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
