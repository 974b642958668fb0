# Thin wrapper over CMake + Ninja. `make test` and `make demo` install what they need first.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
ifeq ($(CI),true)
CMAKE_FLAGS += -DORVANE_WERROR=ON
endif

.PHONY: all deps build test demo bench fuzz package format format-check clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: $(BUILD)/build.ninja
	@cmake --build $(BUILD) -j $(JOBS)

test: deps
	@$(MAKE) --no-print-directory build
	@scripts/run-tests.sh $(BUILD)
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/run-fuzz.sh $(BUILD)-fuzz

demo: deps
	@$(MAKE) --no-print-directory build
	@scripts/run-demo.sh $(BUILD)

# Seconds each fuzz target runs within `make test`; `make fuzz FUZZ_SECONDS=600` for longer.
FUZZ_SECONDS ?= 15

fuzz:
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/run-fuzz.sh $(BUILD)-fuzz

bench: build
	@scripts/run-benches.sh $(BUILD)

# Debian packages of the client and of orvane-sim in $(BUILD)/packages, checked by lintian.
package: deps
	@$(MAKE) --no-print-directory build
	@cmake --build $(BUILD) --target package
	@scripts/check-packages.sh $(BUILD)

format:
	@scripts/format.sh fix

format-check:
	@scripts/format.sh check

clean:
	rm -rf $(BUILD)
