# Set-up and everyday entry points. Each target first makes sure the Debian
# packages it needs are installed.
#
#   make demo      build vozo and print the script generated for the example board
#   make test      build with AddressSanitizer/UBSan and run the whole suite (with
#                  a few seconds of each fuzz target, built with clang)
#   make install   install the release build (PREFIX, default /usr/local)
#   make package   build the Debian package into build/release
#   make fuzz      build the fuzz targets and run each for FUZZ_SECONDS (default 60),
#                  FUZZ_JOBS of them at once (default 1)
#   make hostile   time vozo (Release) on the hostile inputs of docs/reliability.md
#   make bench     time the release build against its baselines (bench/RESULTS.md)
#   make test-arm64  cross-build vozo and the unit tests for 64-bit Arm Linux and
#                  run them and the golden and command-line cases under qemu-user
#   make package-windows  cross-build vozo.exe and zip it into build/windows
#   make test-windows  run the golden, command-line and Windows cases against
#                  vozo.exe, and the unit tests built for Windows, under wine64

# Building and running the tools.
DEMO_PACKAGES    := cmake g++ make pkg-config libelf-dev
# The Debian package: dependencies from the programs' shared libraries.
PACKAGE_PACKAGES := $(DEMO_PACKAGES) dpkg-dev file
# The tests: unit tests, link tests, the size report's checks and the example
# firmware with the cross tool chains, both CMake generators, the package check;
# PCRE2 is the reference the lexer's tests compare with; strace holds a run at the
# moment the killed-run test signals it; lld 19 links beside GNU ld.
TEST_PACKAGES    := $(PACKAGE_PACKAGES) libgtest-dev libpcre2-dev ninja-build \
                    gcc-arm-none-eabi binutils-arm-none-eabi libnewlib-arm-none-eabi \
                    libstdc++-arm-none-eabi-newlib binutils-riscv64-unknown-elf \
                    python3 libxml2-utils librsvg2-bin clang-14 libclang-rt-14-dev strace \
                    lld-19
# The fuzz targets (clang with its sanitizer and libFuzzer runtimes, PCRE2 for
# the lexer's), and the timing of hostile inputs (GNU time; python3 writes the
# ELF files of vozo-size's).
FUZZ_PACKAGES    := $(DEMO_PACKAGES) clang-14 libclang-rt-14-dev libpcre2-dev
HOSTILE_PACKAGES := $(DEMO_PACKAGES) time python3
# The benchmark only: the XML parser of the baseline program, the peak-memory
# probe and the input generator.
BENCH_PACKAGES   := $(DEMO_PACKAGES) libpugixml-dev time python3
# The golden and command-line cases against a vozo of another host
# (tests/hosts/run_suite.py): the runner, and the tools the cases' scripts
# call; GoogleTest's sources, built with the cross compiler for the unit
# tests. For 64-bit Arm Linux: the cross compiler and qemu-user to run it.
HOST_SUITE_PACKAGES := cmake make python3 ninja-build libgtest-dev
ARM64_PACKAGES   := $(HOST_SUITE_PACKAGES) g++-aarch64-linux-gnu qemu-user
# Windows: the cross compiler (its posix threading variant) and zip for the
# package; wine64 to run the cases.
WINDOWS_PACKAGES := cmake make mingw-w64 g++-mingw-w64-x86-64-posix zip
WINDOWS_TEST_PACKAGES := $(HOST_SUITE_PACKAGES) wine64 unzip
# Debian's wine64 puts its loader here, beside the programs of the "wine"
# package.
WINE64 := /usr/lib/wine/wine64
PACKAGES         ?= $(DEMO_PACKAGES)
PREFIX           ?= /usr/local

RELEASE_DIR := build/release
PORTABLE_DIR := build/portable
BENCH_DIR   := build/bench
ARM64_DIR   := build/arm64
WINDOWS_DIR := build/windows
WINDOWS_UNITS_DIR := build/windows-units
# Debian's libgtest-dev: GoogleTest's sources, for the cross builds' unit tests.
GTEST_SOURCES := /usr/src/googletest
# Device descriptions for the benchmark's real-world memory maps; skipped
# when the folder is missing.
CORPUS      ?= ../shared/corpus
BENCH_REPEAT ?= 21
TEST_DIR    := build/test
FUZZ_DIR    := $(TEST_DIR)/fuzz-build
FUZZ_SECONDS ?= 60
FUZZ_JOBS    ?= 1
JOBS        ?= $(shell nproc 2>/dev/null || echo 2)

EXAMPLE_ARGS := -memory-map-file examples/board/memory_map.xml \
                -section-placement-file examples/board/placement.xml \
                -check-segment-overflow -check-section-overflow

.PHONY: demo test test-arm64 package-windows test-windows install package bench deps build build-portable build-test fuzz hostile clean format

demo: build
	@mkdir -p build/demo
	$(RELEASE_DIR)/src/vozo/vozo $(EXAMPLE_ARGS) build/demo/board.ld
	@echo "----- build/demo/board.ld -----"
	@cat build/demo/board.ld

# The suite runs the golden and command-line cases against the shipped
# (Release, static) vozo of `make build` too, and against a build with the
# portable byte scans.
test: PACKAGES = $(TEST_PACKAGES)
test: build build-portable build-test
	cd $(TEST_DIR) && ctest --output-on-failure -j $(JOBS)

# vozo only: vozo-size needs libelf built for aarch64, which Debian offers
# only to a multiarch system. Static, so qemu-user needs no libraries. The
# packages through a make of their own: make runs `deps` once per run, so in
# `make test-arm64 test-windows` the second target's packages would be left out.
# The unit tests too, with GoogleTest built from its sources (all but the
# lexer's comparison with PCRE2); ctest runs them through qemu-user, the tool
# chain file's emulator.
test-arm64:
	$(MAKE) --no-print-directory deps PACKAGES="$(ARM64_PACKAGES)"
	cmake -S . -B $(ARM64_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/aarch64-linux-gnu.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DVOZO_TESTS=OFF -DVOZO_SIZE=OFF -DVOZO_GTEST_SOURCE_DIR=$(GTEST_SOURCES)
	cmake --build $(ARM64_DIR) -j $(JOBS)
	python3 tests/hosts/run_suite.py --emulator "qemu-aarch64 -L /usr/aarch64-linux-gnu" \
	  --skip tests/hosts/arm64.skip --jobs $(JOBS) $(ARM64_DIR)/src/vozo/vozo
	cd $(ARM64_DIR) && ctest --output-on-failure -j $(JOBS)

# vozo.exe for 64-bit Windows, linked statically (it needs only Windows's
# own DLLs), zipped with README.md and docs/ into
# build/windows/vozo-<version>-windows-x86_64.zip. vozo-size is left out:
# Debian has no libelf built for Windows.
package-windows:
	$(MAKE) --no-print-directory deps PACKAGES="$(WINDOWS_PACKAGES)"
	cmake -S . -B $(WINDOWS_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DVOZO_TESTS=OFF -DVOZO_SIZE=OFF
	cmake --build $(WINDOWS_DIR) -j $(JOBS) --target vozo
	@version=$$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' $(WINDOWS_DIR)/CMakeCache.txt); \
	name=vozo-$$version-windows-x86_64; \
	rm -rf $(WINDOWS_DIR)/package $(WINDOWS_DIR)/$$name.zip && mkdir -p $(WINDOWS_DIR)/package/$$name && \
	cp $(WINDOWS_DIR)/src/vozo/vozo.exe README.md $(WINDOWS_DIR)/package/$$name/ && \
	cp -R docs $(WINDOWS_DIR)/package/$$name/ && \
	if [ -f LICENSE ]; then cp LICENSE $(WINDOWS_DIR)/package/$$name/; fi && \
	(cd $(WINDOWS_DIR)/package && zip -q -r -X ../$$name.zip $$name) && \
	echo "$(WINDOWS_DIR)/$$name.zip"

# The zip's vozo.exe under wine64, in a Wine prefix of its own inside
# build/windows: README's first example first (the script's bytes equal the
# Linux build's), then every golden and command-line case but those of
# tests/hosts/windows.skip, then the cases of Windows paths, line ends and
# host macros (tests/hosts/windows_cases.sh); then the unit tests, built for
# Windows in a tree of their own (the package's stays as it ships) with
# GoogleTest from its sources, run by ctest under wine64 in the same prefix
# (all but the lexer's comparison with PCRE2 and the tests of POSIX hosts).
test-windows: package-windows
	$(MAKE) --no-print-directory deps PACKAGES="$(WINDOWS_TEST_PACKAGES)"
	@rm -rf $(WINDOWS_DIR)/run && mkdir -p $(WINDOWS_DIR)/run
	@version=$$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' $(WINDOWS_DIR)/CMakeCache.txt); \
	cd $(WINDOWS_DIR)/run && unzip -q ../vozo-$$version-windows-x86_64.zip && \
	printf '#!/bin/sh\nexec env WINEPREFIX=%s WINEDEBUG=-all $(WINE64) %s "$$@"\n' \
	  "$(abspath $(WINDOWS_DIR))/wine" "$(abspath $(WINDOWS_DIR))/run/vozo-$$version-windows-x86_64/vozo.exe" >vozo && \
	chmod +x vozo
	WINEPREFIX=$(abspath $(WINDOWS_DIR))/wine WINEDEBUG=-all $(WINE64) wineboot -i >/dev/null 2>&1
	@echo "README's first example, vozo.exe against the Linux build's script:"
	tests/golden/run_case.sh $(WINDOWS_DIR)/run/vozo tests/golden/cases/readme_first_example && \
	  echo "ok   the same bytes as the Linux build's"
	python3 tests/hosts/run_suite.py --skip tests/hosts/windows.skip --jobs $(JOBS) $(WINDOWS_DIR)/run/vozo
	tests/hosts/windows_cases.sh $(WINDOWS_DIR)/run/vozo
	cmake -S . -B $(WINDOWS_UNITS_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DVOZO_TESTS=OFF -DVOZO_SIZE=OFF -DVOZO_GTEST_SOURCE_DIR=$(GTEST_SOURCES)
	cmake --build $(WINDOWS_UNITS_DIR) -j $(JOBS)
	cd $(WINDOWS_UNITS_DIR) && WINEPREFIX=$(abspath $(WINDOWS_DIR))/wine WINEDEBUG=-all \
	  ctest --output-on-failure -j $(JOBS)

install: build
	cmake --install $(RELEASE_DIR) --prefix $(PREFIX)

package: PACKAGES = $(PACKAGE_PACKAGES)
package: build
	cd $(RELEASE_DIR) && cpack -G DEB

bench: PACKAGES = $(BENCH_PACKAGES)
bench: build
	cmake -S bench -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BENCH_DIR) -j $(JOBS)
	python3 bench/generate_inputs.py $(BENCH_DIR)/inputs --board examples/board \
	  $(if $(wildcard $(CORPUS)/svd),--corpus $(CORPUS))
	python3 bench/run_bench.py --vozo $(RELEASE_DIR)/src/vozo/vozo \
	  --pugixml $(BENCH_DIR)/pugixml_parse --empty $(BENCH_DIR)/empty_program \
	  --inputs $(BENCH_DIR)/inputs --repeat $(BENCH_REPEAT) --results bench/RESULTS.md

build: deps
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DVOZO_TESTS=OFF
	cmake --build $(RELEASE_DIR) -j $(JOBS)

# vozo with the XML parser's portable byte scans, as processors without SSE2
# run it; the suite runs its golden cases.
build-portable: deps
	cmake -S . -B $(PORTABLE_DIR) -DCMAKE_BUILD_TYPE=Release -DVOZO_TESTS=OFF -DVOZO_PORTABLE_SCANS=ON
	cmake --build $(PORTABLE_DIR) -j $(JOBS) --target vozo

fuzz: PACKAGES = $(FUZZ_PACKAGES)
fuzz: deps
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVOZO_FUZZ=ON -DVOZO_TESTS=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	FUZZ_JOBS=$(FUZZ_JOBS) fuzz/run.sh $(FUZZ_DIR)/fuzz $(FUZZ_SECONDS)

hostile: PACKAGES = $(HOSTILE_PACKAGES)
hostile: build
	bench/hostile_inputs.sh $(RELEASE_DIR)/src/vozo/vozo

build-test: PACKAGES = $(TEST_PACKAGES)
build-test: deps
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=Debug -DVOZO_SANITIZE=ON -DVOZO_TESTS=ON \
	  -DVOZO_FUZZ_SMOKE=ON \
	  "-DVOZO_OTHER_BUILDS=shipped=$(abspath $(RELEASE_DIR))/src/vozo/vozo;portable=$(abspath $(PORTABLE_DIR))/src/vozo/vozo"
	cmake --build $(TEST_DIR) -j $(JOBS)

# Installs what is missing when run as root; otherwise prints the one command
# to run and stops.
deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get -o DPkg::Lock::Timeout=900 update -qq && DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq $$missing; \
	  else \
	    echo "Missing packages. Run:"; \
	    echo "  sudo apt-get install -y$$missing"; \
	    exit 1; \
	  fi; \
	fi

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
