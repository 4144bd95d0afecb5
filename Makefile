# Everything from a fresh clone: `make run`, `make test`, `make bench`.
BUILD      ?= build
CORE_BUILD ?= build-core-sanitize
FUZZ_BUILD ?= build-fuzz
FUZZ_RUNS  ?= 10000000
JOBS       ?= $(shell nproc)
WERROR     ?= $(if $(CI),ON,OFF)
CMAKE_ARGS ?=

.PHONY: all deps configure build run test test-core-sanitized bench fuzz install package \
        check-package format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIDEMAR_WERROR=$(WERROR) $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The planner alone: no test or benchmark is built for it.
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target tidemar
	./$(BUILD)/tidemar

# The core on its own (proves it needs no Qt), under address and UB sanitizers.
test-core-sanitized: deps
	cmake -S . -B $(CORE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTIDEMAR_CORE_ONLY=ON \
	      -DTIDEMAR_SANITIZE=ON -DTIDEMAR_WERROR=$(WERROR)
	cmake --build $(CORE_BUILD) -j $(JOBS)
	cd $(CORE_BUILD) && ctest --output-on-failure -j $(JOBS)

test: build test-core-sanitized
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: configure
	cmake --build $(BUILD) -j $(JOBS) --target core_bench ui_bench
	./$(BUILD)/bench/core_bench
	@if [ -x $(BUILD)/bench/ui_bench ]; then QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/ui_bench; fi

# Installs what `make` built and builds nothing, so that `sudo make install` leaves no file
# of root's in the build folder (cmake's list of what it installed goes to the folder's
# owner). PREFIX=/usr/local by default; DESTDIR is honoured as usual.
install:
	@if [ ! -x $(BUILD)/tidemar ] || [ ! -f $(BUILD)/packaging/tidemar.1.gz ] || \
	    [ ! -f $(BUILD)/cmake_install.cmake ]; then \
	    echo "Nothing to install in $(BUILD)/: build it first with 'make', as yourself." >&2; \
	    exit 1; \
	fi
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))
	@if [ "$$(id -u)" = 0 ]; then chown --reference=$(BUILD) $(BUILD)/install_manifest.txt; fi

# The Debian package $(BUILD)/package/tidemar_<version>_<arch>.deb, made by CPack from the
# install rules; builds the planner and its manual page, not the tests.
package: configure
	cmake --build $(BUILD) -j $(JOBS) --target tidemar package_files
	cd $(BUILD) && cpack
	@ls $(BUILD)/package/tidemar_*.deb

# The package installed on a bare Debian 12 in a chroot (root and Debian's mirror needed).
check-package: package
	scripts/check-package $(BUILD)

# Each fuzz target for FUZZ_RUNS executions (clang's libFuzzer); what they find joins
# fuzz/corpus/, which `make test` replays.
fuzz:
	@scripts/install-deps fuzz
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	      -DTIDEMAR_FUZZ=ON $(CMAKE_ARGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	scripts/run-fuzz $(FUZZ_BUILD) $(FUZZ_RUNS) $(JOBS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(CORE_BUILD) $(FUZZ_BUILD)
