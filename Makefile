# make        both builds; the program lands at build/windows/zeb.exe
# make test   every test of both builds (native, then Windows under Wine), the unit tests
#             once more under ASan and UBSan, and a short run of every fuzz target
# make fuzz   every fuzz target for FUZZ_SECONDS seconds each (make fuzz FUZZ_SECONDS=600)
# make demo   zeb.exe on the bundled sample workstation and directory
JOBS ?= $(shell nproc)
NATIVE := build/native
WINDOWS := build/windows
SANITIZE := build/sanitize
# make test's fuzz runs: the corpus, then new runs until either bound is reached.
FUZZ_TEST_SECONDS ?= 3
FUZZ_TEST_RUNS ?= 200000
FUZZ_SECONDS ?= 60

.PHONY: all setup native windows sanitize test test-native test-sanitize test-fuzz test-windows \
  fuzz demo clean

# ccache, where present, makes a second worktree or a clean rebuild cheap.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

all: native windows

# Idempotent: installs only what is missing, and takes a second when nothing is.
setup:
	scripts/setup

native: setup
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Release $(LAUNCHER) >/dev/null
	cmake --build $(NATIVE) -j $(JOBS)

windows: setup
	cmake -S . -B $(WINDOWS) -DCMAKE_BUILD_TYPE=Release $(LAUNCHER) \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake >/dev/null
	cmake --build $(WINDOWS) -j $(JOBS)

test: test-native test-sanitize test-fuzz test-windows

test-native: native
	ctest --test-dir $(NATIVE) --output-on-failure

# clang with ASan, UBSan and libFuzzer's coverage: the unit tests and the fuzz targets.
sanitize: setup
	CC=clang CXX=clang++ cmake -S . -B $(SANITIZE) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DZEB_SANITIZE=ON $(LAUNCHER) >/dev/null
	cmake --build $(SANITIZE) -j $(JOBS) --target zeb_unit_tests zeb_contract_memory zeb_ldap_tests zeb_fuzz_targets

test-sanitize: sanitize
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(SANITIZE) --output-on-failure

test-fuzz: sanitize
	scripts/fuzz $(SANITIZE) $(FUZZ_TEST_SECONDS) $(FUZZ_TEST_RUNS)

fuzz: sanitize
	scripts/fuzz $(SANITIZE) $(FUZZ_SECONDS)

# One fresh Wine prefix for the whole Windows test run.
test-windows: windows
	scripts/with-test-prefix ctest --test-dir $(WINDOWS) --output-on-failure

demo: windows
	ZEB_BUILD=$(CURDIR)/$(WINDOWS) scripts/demo

clean:
	rm -rf build
