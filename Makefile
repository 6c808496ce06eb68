# Thin wrapper over CMake. Every build lives under build/, one folder per configuration.
#
#   make run             build Release and run selvane on an example alignment
#   make test            build and run the whole test suite
#   make test-sanitize   the same under AddressSanitizer and UndefinedBehaviorSanitizer
#   make redo-cases      rewrite every expected file of the tests (CASE=name: one case folder)
#   make bench           build Release and measure selvane on large generated alignments
#   make fuzz            build the fuzz targets with clang and run them FUZZ_SECONDS seconds
#   make bench-by-name   build Release and measure batches of 1,000 to 50,000 genes joined by taxon
#   make bench-formats   build Release and measure the readers of PHYLIP, Clustal, Stockholm and
#                        NEXUS against the FASTA reader
#   make bench-streams   build Release and measure standard input, pipes and gzip inputs
#   make install         build Release and install selvane and its manual page under PREFIX
#   make format          apply clang-format to the sources and tests
#   make clean           remove build/

JOBS ?= 2
TEST_BUILD_TYPE ?= RelWithDebInfo
CXX ?= g++
# Compiler warnings as errors (CI sets SELVANE_WERROR=ON in the environment); off for users, so
# that a newer compiler's new warning does not stop their build.
SELVANE_WERROR ?= OFF
# Where `make install` puts bin/selvane and share/man/man1/selvane.1; DESTDIR is honoured too.
PREFIX ?= /usr/local

# What `make run` processes, and the options it passes (options make it a one-shot
# command-line run instead of the interactive menus).
EXAMPLE ?= examples/proteases.fas
RUN_OPTIONS ?= -k=y -d=y -n=y -u=y

RELEASE_DIR := build/release
RUN_DIR := build/run
BENCH_DIR := build/bench
INSTALL_DIR := build/install

.PHONY: all release run build test sanitize-build test-sanitize redo-cases fuzz bench bench-by-name \
  bench-formats bench-streams install format clean

all: release

release:
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DSELVANE_TESTS=OFF
	cmake --build $(RELEASE_DIR) -j $(JOBS)

# The example is copied first: selvane writes its output files beside its input, and the
# repository should stay clean. selvane's exit status is 1 after every run, so only another
# status (a crash) fails the target.
run: release
	rm -rf $(RUN_DIR)
	mkdir -p $(RUN_DIR)
	cp $(EXAMPLE) $(RUN_DIR)/
	cd $(RUN_DIR) && { ../release/selvane $(notdir $(EXAMPLE)) $(RUN_OPTIONS) </dev/null; \
	  status=$$?; [ $$status -eq 1 ] || { echo "selvane exited with status $$status"; exit 1; }; }
	@echo "Files in $(RUN_DIR):"
	@ls -l $(RUN_DIR)

# The test configuration: the binary and the tests, without running them.
build:
	cmake -S . -B build/test -DCMAKE_BUILD_TYPE=$(TEST_BUILD_TYPE) -DSELVANE_TESTS=ON \
	  -DSELVANE_WERROR=$(SELVANE_WERROR)
	cmake --build build/test -j $(JOBS)

test: build
	cd build/test && ctest --output-on-failure -j $(JOBS)

# After a deliberate change of what selvane prints or writes: every expected file gets the
# program's present output, the case folders of tests/cases and the writers' files of
# tests/golden/writers (CASE=name: that case folder alone; see tests/cases/README.md).
CASE ?= *
REDO_TESTS := Folders/Cases.Run/$(CASE)$(if $(filter-out *,$(CASE)),,:WriterGolden.*)
redo-cases: build
	cd build/test && SELVANE_REDO_OUTPUTS=1 ./selvane_tests --gtest_filter='$(REDO_TESTS)'

# The sanitizer run of the tests and the fuzz targets share one clang build in build/sanitize,
# so the library is compiled once for both: AddressSanitizer and UndefinedBehaviorSanitizer at
# -O1 (fast enough to fuzz, still exact reports), libFuzzer's coverage in the library and the
# fuzz targets alone. Either target builds the whole tree, the tests when GoogleTest is there.
# CI runs both at once (`make -j2 -O test-sanitize fuzz`): the fuzz targets run for a fixed
# time, on whatever the tests leave of the cores.
SANITIZE_DIR := build/sanitize
sanitize-build:
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS_DEBUG='-O1 -g' -DSELVANE_SANITIZE=ON -DSELVANE_FUZZ=ON -DSELVANE_TESTS= \
	  -DSELVANE_WERROR=$(SELVANE_WERROR)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)

test-sanitize: sanitize-build
	cd $(SANITIZE_DIR) && ctest --output-on-failure --no-tests=error -j $(JOBS)

# The fuzz targets of fuzz/, all at once, each for FUZZ_SECONDS seconds (FUZZ_TARGETS narrows
# the list). Any crash or sanitizer report fails.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= readers command_line menus
fuzz: sanitize-build
	FUZZ_SECONDS=$(FUZZ_SECONDS) fuzz/run.sh $(SANITIZE_DIR) $(FUZZ_TARGETS)

# The benchmark's own tools: the alignment generator, the timer and the floor.
BENCH_TOOLS := $(addprefix $(BENCH_DIR)/,gen_alignment measure floor)

$(BENCH_DIR)/%: bench/%.cpp
	mkdir -p $(BENCH_DIR)
	$(CXX) -std=c++20 -O2 -Wall -Wextra -Wpedantic -Werror -o $@ $<

# BENCH_ONLY, BENCH_RUNS and BENCH_REPEAT pass through the environment (see bench/run.sh).
bench: release $(BENCH_TOOLS)
	SELVANE=$(RELEASE_DIR)/selvane BENCH_TOOLS=$(BENCH_DIR) BENCH_SCRATCH=$(BENCH_DIR) bench/run.sh

# BENCH_SIZES and BENCH_REPEAT pass through the environment (see bench/by_name.sh).
bench-by-name: release $(BENCH_DIR)/gen_batch $(BENCH_DIR)/measure
	SELVANE=$(RELEASE_DIR)/selvane BENCH_TOOLS=$(BENCH_DIR) BENCH_SCRATCH=$(BENCH_DIR) bench/by_name.sh

# BENCH_ONLY and BENCH_REPEAT pass through the environment (see bench/formats.sh).
bench-formats: release $(BENCH_DIR)/gen_alignment $(BENCH_DIR)/to_format $(BENCH_DIR)/measure
	SELVANE=$(RELEASE_DIR)/selvane BENCH_TOOLS=$(BENCH_DIR) BENCH_SCRATCH=$(BENCH_DIR) bench/formats.sh

# BENCH_ONLY and BENCH_REPEAT pass through the environment (see bench/streams.sh).
bench-streams: release $(BENCH_DIR)/gen_alignment $(BENCH_DIR)/measure
	SELVANE=$(RELEASE_DIR)/selvane BENCH_TOOLS=$(BENCH_DIR) BENCH_SCRATCH=$(BENCH_DIR) bench/streams.sh

# A build of its own, so that the prefix of one install never leaks into `make release`.
# A relative PREFIX is taken from where make runs, not from the build folder.
install:
	cmake -S . -B $(INSTALL_DIR) -DCMAKE_BUILD_TYPE=Release -DSELVANE_TESTS=OFF \
	  -DCMAKE_INSTALL_PREFIX=$(abspath $(PREFIX))
	cmake --build $(INSTALL_DIR) -j $(JOBS)
	cmake --install $(INSTALL_DIR)

format:
	clang-format -i $$(find src tests bench fuzz -name '*.cpp' -o -name '*.h')

clean:
	rm -rf build
