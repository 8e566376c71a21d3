# make        both builds; the program lands at build/windows/zeb.exe
# make test   every test of both builds (native, then Windows under Wine)
# make demo   zeb.exe on the bundled sample workstation and directory
JOBS ?= $(shell nproc)
NATIVE := build/native
WINDOWS := build/windows

.PHONY: all native windows test test-native test-windows demo clean

all: native windows

native:
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(NATIVE) -j $(JOBS)

windows:
	cmake -S . -B $(WINDOWS) -DCMAKE_BUILD_TYPE=Release \
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
