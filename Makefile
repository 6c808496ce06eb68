# Thin wrapper over CMake.
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= 2

.PHONY: build test test-sanitize clean

build:
	cmake -S . -B build/test -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)
	cmake --build build/test -j $(JOBS)

test: build
	cd build/test && ctest --output-on-failure -j $(JOBS)

test-sanitize:
	cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DSELVANE_SANITIZE=ON
	cmake --build build/sanitize -j $(JOBS)
	cd build/sanitize && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf build
