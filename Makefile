# Set-up and everyday entry points. Both targets first make sure the Debian
# packages the build and the tests need are installed.
#
#   make demo   build vozo and print the script generated for the example board
#   make test   build with AddressSanitizer/UBSan and run the whole suite

# What the tools need to build, and what only the tests need on top.
BUILD_PACKAGES := cmake g++ make pkg-config libpcre2-dev libelf-dev
TEST_PACKAGES  := libgtest-dev gcc-arm-none-eabi binutils-arm-none-eabi libnewlib-arm-none-eabi \
                  libstdc++-arm-none-eabi-newlib \
                  binutils-riscv64-unknown-elf python3 libxml2-utils librsvg2-bin
PACKAGES := $(BUILD_PACKAGES) $(TEST_PACKAGES)

RELEASE_DIR := build/release
TEST_DIR    := build/test
JOBS        ?= $(shell nproc 2>/dev/null || echo 2)

EXAMPLE_ARGS := -memory-map-file examples/board/memory_map.xml \
                -section-placement-file examples/board/placement.xml \
                -check-segment-overflow -check-section-overflow

.PHONY: demo test deps build build-test clean format

demo: build
	@mkdir -p build/demo
	$(RELEASE_DIR)/src/vozo/vozo $(EXAMPLE_ARGS) build/demo/board.ld
	@echo "----- build/demo/board.ld -----"
	@cat build/demo/board.ld

test: build-test
	cd $(TEST_DIR) && ctest --output-on-failure -j $(JOBS)

build: deps
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DVOZO_TESTS=OFF
	cmake --build $(RELEASE_DIR) -j $(JOBS)

build-test: deps
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=Debug -DVOZO_SANITIZE=ON
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
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
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
