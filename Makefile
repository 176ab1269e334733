# The two commands of the README: `make demo` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZERS = receiver login server importer

.PHONY: deps configure build test test-sanitize fuzz demo bench package clean

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@scripts/check-format.sh
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600

# Every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer in a
# folder of its own; the options reach the test programs, the servers they start and
# the test listing the build runs. tests/sanitize holds the suppressions.
test-sanitize: export ASAN_OPTIONS = detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:strict_string_checks=1:abort_on_error=0
test-sanitize: export LSAN_OPTIONS = suppressions=$(CURDIR)/tests/sanitize/lsan.supp:print_suppressions=0
test-sanitize: export UBSAN_OPTIONS = print_stacktrace=1:halt_on_error=1
test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DORVENDA_SANITIZE=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@cd $(SANITIZE_BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600

# The libFuzzer harnesses (fuzz/), built with clang in a folder of their own, each run
# for FUZZ_SECONDS seconds on its corpus; new inputs stay in $(FUZZ_BUILD)/fuzz-found.
fuzz: export LSAN_OPTIONS = suppressions=$(CURDIR)/tests/sanitize/lsan.supp:print_suppressions=0
fuzz: export UBSAN_OPTIONS = print_stacktrace=1:halt_on_error=1
fuzz: deps
	@cmake -S . -B $(FUZZ_BUILD) -G Ninja -DORVENDA_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
	  -DORVENDA_WERROR=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZERS))
	@scripts/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZERS)

bench: build
	@scripts/run-benchmarks.sh $(BUILD)

# The Debian packages orvenda-desk and orvenda-server, in $(BUILD)/packages.
package: build
	@cmake --build $(BUILD) --target man
	@cd $(BUILD) && cpack >/dev/null
	@for p in $(BUILD)/packages/*.deb; do echo "$$p"; dpkg-deb -f "$$p" Package Version Depends; done

demo: build
	@scripts/demo.sh $(BUILD)

clean:
	rm -rf $(BUILD)
