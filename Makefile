# Front door: `make run` to use Quillbox, `make test` to test it, `make bench` to measure it.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
PACKAGES := cmake g++ make pkg-config qt6-base-dev libgl-dev firebird-dev libfbclient2 \
            firebird3.0-server-core firebird3.0-utils fonts-dejavu-core fonts-liberation2 \
            xvfb x11-utils xdotool fonts-noto-color-emoji

.PHONY: all deps build run test test-sanitize bench format clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/quillbox

test: build
	cd $(BUILD) && ctest --output-on-failure -j 2

test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUILLBOX_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure

bench: build
	cmake --build $(BUILD) --target benchmarks -j $(JOBS)
	cd $(BUILD) && ./bench/run_benchmarks

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
