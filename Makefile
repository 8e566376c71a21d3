# make        both builds; the program lands at build/windows/zeb.exe
# make test   every test of both builds (native, then Windows under Wine)
# make demo   zeb.exe on the bundled sample workstation and directory
JOBS ?= $(shell nproc)
NATIVE := build/native
WINDOWS := build/windows

.PHONY: all setup native windows test test-native test-windows demo clean

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

test: test-native test-windows

test-native: native
	ctest --test-dir $(NATIVE) --output-on-failure

# One fresh Wine prefix for the whole Windows test run.
test-windows: windows
	scripts/with-test-prefix ctest --test-dir $(WINDOWS) --output-on-failure

demo: windows
	ZEB_BUILD=$(CURDIR)/$(WINDOWS) scripts/demo

clean:
	rm -rf build
