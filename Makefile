# Front door: `make run` to use Quillbox, `make test` to test it, `make bench` to measure it;
# `make install` (PREFIX, DESTDIR) and `make package` (a Debian package in build/package/).
BUILD ?= build
PREFIX ?= /usr/local
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
# ccache, when the machine has it, keeps rebuilds and further checkouts of the tree quick.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Debian packages of the build and the tests, one a line.
PACKAGES := \
    cmake g++ make pkg-config lld \
    qt6-base-dev qt6-webengine-dev libgl-dev qtkeychain-qt6-dev libsecret-1-0 \
    firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils \
    fonts-dejavu-core fonts-liberation2 \
    dbus-daemon tzdata \
    xvfb openbox trayer dunst xdotool x11-utils x11-apps dbus-bin xfce4-panel gnome-keyring at-spi2-core \
    appstream desktop-file-utils dpkg-dev lintian fonts-noto-color-emoji
# Debian's Firebird server for the tests of a shared database: unpacked into the build folder,
# not installed. The installed package would add a system service and a "firebird" user, and
# the engine then gives every lock file a program run as root creates to that user, which
# locks everybody else out of a database folder shared through a group.
SERVER_DIR := $(BUILD)/firebird-server

.PHONY: all deps build run test test-sanitize bench screenshots install package server format clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/quillbox

test: build server
	cd $(BUILD) && ctest --output-on-failure -j 2

test-sanitize: deps server
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUILLBOX_SANITIZE=ON $(LAUNCHER) \
	  -DQUILLBOX_FIREBIRD_SERVER_BINARY=$(abspath $(SERVER_DIR))/usr/sbin/firebird
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure

bench: build
	cmake --build $(BUILD) --target benchmarks -j $(JOBS)
	cd $(BUILD) && ./bench/run_benchmarks

screenshots: build
	cmake --build $(BUILD) --target render_windows -j $(JOBS)
	./$(BUILD)/tests/render_windows $(BUILD)/screenshots

server:
	@test -x $(SERVER_DIR)/usr/sbin/firebird || { \
	  mkdir -p $(SERVER_DIR) && cd $(SERVER_DIR) && apt-get download -qq firebird3.0-server && \
	  dpkg-deb -x firebird3.0-server_*.deb . ; } || \
	  echo "No Firebird server binary: the shared-server tests will be skipped."

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

package: build
	rm -rf $(BUILD)/package
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/package/quillbox_*.deb

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
