# Thin wrapper over CMake: `make run` and `make test` do all the set-up on a fresh Debian 12 machine.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test bench install uninstall package clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCMAKE_INSTALL_PREFIX=$(PREFIX) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/app/varnel

test: build
	@tests/support/run-tests.sh $(BUILD)

bench: build
	@bench/run-benchmarks.sh $(BUILD)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)
	@cp $(BUILD)/install_manifest.txt $(BUILD)/installed-files.txt

# Removes what the last `make install` put in place (CMake's list of it, kept apart from test installs).
uninstall:
	@test -f $(BUILD)/installed-files.txt || { echo "nothing was installed from $(BUILD)"; exit 1; }
	xargs -d '\n' rm -f -- < $(BUILD)/installed-files.txt
	rm -f $(BUILD)/installed-files.txt

# The Debian packages varnel-run_<version>_<arch>.deb and varnel_<version>_<arch>.deb in $(BUILD).
package: build
	cd $(BUILD) && cpack

clean:
	rm -rf $(BUILD)
