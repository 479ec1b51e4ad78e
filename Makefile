# Two commands set everything up on a fresh Debian 12 machine: `make run` and `make test`.
BUILD     ?= build
SAN_BUILD ?= build-san
JOBS      ?= $(shell nproc)
# The tests mostly wait on X servers, world servers and games played in real time: twice as many
# as build jobs (the cores, by default) keeps the cores busy.
TEST_JOBS ?= $(shell echo $$(( $(JOBS) * 2 )))
RUN_DIR   := $(BUILD)/run
# Line tables only: enough for a backtrace or a sanitizer's report, and a fifth less to compile
# than full debugging information.
CONFIGURE_RELEASE := cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
                     -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
CONFIGURE_SANITIZE := cmake -S . -B $(SAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUELVANE_SANITIZE=ON \
                      -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DCMAKE_C_FLAGS_DEBUG=-g1
PREFIX    ?= /usr/local

.PHONY: all deps configure build run test test-release test-sanitize bench bench-world bench-desktop \
        install package web world clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@$(CONFIGURE_RELEASE) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-game.sh $(RUN_DIR)

test: test-release test-sanitize

test-release: build
	cd $(BUILD) && ctest --output-on-failure -j $(TEST_JOBS)

test-sanitize: deps
	@$(CONFIGURE_SANITIZE) >/dev/null
	@cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ctest --output-on-failure -j $(TEST_JOBS)

bench: deps
	@$(CONFIGURE_RELEASE) -DQUELVANE_BENCH=ON >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)
	@scripts/run-benchmarks.sh $(BUILD)

# The world service on this machine, on SQLite and PostgreSQL: time to 202, /health under load,
# verification throughput, and a long game's time to the table.
bench-world: deps
	@$(CONFIGURE_RELEASE) -DQUELVANE_BENCH=ON >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target world_load long_game
	@scripts/bench-world.sh $(BUILD)

# A world table's server on this machine, its SQLite database in $(BUILD)/world, until Ctrl+C;
# the page too, at the same address, once `make web` has built it.
world: build
	@mkdir -p $(BUILD)/world
	$(RUN_DIR)/quelvane-world --data $(BUILD)/world --listen 127.0.0.1:8080 \
		$(if $(wildcard $(BUILD)/web/index.html),--page $(BUILD)/web)

# The programs, assets, menu entries and icons under $(PREFIX), staged under $(DESTDIR) if given.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# A Debian package in $(BUILD): apt-get install ./$(BUILD)/quelvane_*.deb
package: build
	cd $(BUILD) && cpack -G DEB

# The game beside a peer arcade shooter under Xvfb at two sizes, title and play: CPU share, memory,
# time to the window.
bench-desktop: build
	@scripts/bench-desktop.sh $(BUILD)

# The game for a browser in $(BUILD)/web: python3 -m http.server -d $(BUILD)/web
web: configure
	@scripts/web/build.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(SAN_BUILD)
