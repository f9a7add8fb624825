# The two commands of the README: `make run` and `make test`.
BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELMAR_WERROR=ON
JOBS ?= $(shell nproc)
# Let ccache share compiled objects between checkouts in other folders.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := true

# Where `make install` puts the program; through sudo unless run as root
# (`make install PREFIX=~/.local SUDO=` installs for one user).
PREFIX ?= /usr/local
SUDO ?= $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: run test build deps bench format clean install uninstall package screenshots

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# Starts the program; under a virtual screen when there is no display.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] || [ -n "$$QT_QPA_PLATFORM" ]; then \
	  $(BUILD)/src/pelmar; \
	else \
	  xvfb-run -a $(BUILD)/src/pelmar; \
	fi

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

install: build
	$(SUDO) cmake --install $(BUILD) --prefix "$(PREFIX)"

# Removes what the last `make install` put in place.
uninstall:
	$(SUDO) xargs -d '\n' rm -f < $(BUILD)/install_manifest.txt

# The Debian package, in the build folder: pelmar_VERSION_ARCH.deb.
package: build
	cmake --build $(BUILD) --target package

# The pictures of the dialogs in docs/, drawn offscreen in both languages.
screenshots: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target pelmar-screenshots
	PELMAR_SCREENSHOTS=$(CURDIR)/docs $(BUILD)/tools/pelmar-screenshots

bench: build
	$(BUILD)/bench/pelmar_bench

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
