# Zembro: build, run and test on Debian (MinGW-w64 cross build, Wine, Xvfb).
# Every target installs the Debian packages it lacks, so a fresh machine needs nothing else.

SHELL      := /bin/bash
MAKEFLAGS  += --no-print-directory
BUILD      := build
NATIVE_DIR := $(BUILD)/native
WIN_DIR    := $(BUILD)/win
FUZZ_DIR   := $(BUILD)/fuzz
BENCH_DIR  := $(BUILD)/bench
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 60

# command -> Debian package that provides it
TOOLS := cmake:cmake g++:g++ clang++:clang \
         x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix \
         x86_64-w64-mingw32-windres:binutils-mingw-w64-x86-64 \
         wine:wine Xvfb:xvfb xauth:xauth import:imagemagick \
         xwininfo:x11-utils python3:python3 zip:zip unzip:unzip makensis:nsis wixl:wixl msibuild:msitools msiinfo:msitools
# fonts-wine: without Wine's own fonts "MS Shell Dlg" falls back to a wider font
# and the caption buttons show letters instead of their glyphs.
FILES := /usr/src/googletest/CMakeLists.txt:googletest /usr/lib/wine/wine64:wine64 \
         /usr/share/wine/fonts/tahoma.ttf:fonts-wine \
         /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a:libclang-rt-14-dev \
         /usr/lib/python3/dist-packages/yaml/__init__.py:python3-yaml

.PHONY: all deps build build-native build-win test test-native test-win run screenshots bench soak fuzz dist clean

all: build

deps:
	@missing=""; \
	for t in $(TOOLS); do command -v $${t%%:*} >/dev/null 2>&1 || missing="$$missing $${t##*:}"; done; \
	for f in $(FILES); do [ -e $${f%%:*} ] || missing="$$missing $${f##*:}"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  SUDO=; [ "$$(id -u)" = 0 ] || SUDO=sudo; \
	  $$SUDO apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq --no-install-recommends $$missing >/dev/null; \
	fi

$(NATIVE_DIR)/CMakeCache.txt: | deps
	cmake -S . -B $(NATIVE_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(WIN_DIR)/CMakeCache.txt: | deps
	cmake -S . -B $(WIN_DIR) -DCMAKE_BUILD_TYPE=Release \
	      -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake

build-native: deps $(NATIVE_DIR)/CMakeCache.txt
	cmake --build $(NATIVE_DIR) -j $(JOBS)

build-win: deps $(WIN_DIR)/CMakeCache.txt
	cmake --build $(WIN_DIR) -j $(JOBS)

build: build-win

test-native: build-native
	cd $(NATIVE_DIR) && ctest --output-on-failure --timeout 300

test-win: build-win
	cd $(WIN_DIR) && ctest --output-on-failure --timeout 300

test: build-native build-win
	@rc=0; \
	( cd $(NATIVE_DIR) && ctest --output-on-failure --timeout 300 ) || rc=1; \
	( cd $(WIN_DIR) && ctest --output-on-failure --timeout 300 ) || rc=1; \
	exit $$rc

# Only what it runs: the program, the stand-in Jump List host and the window tool, not the
# tests. A new Wine prefix is made while they compile.
RUN_PREFIX := $(CURDIR)/$(BUILD)/run-prefix
run: deps $(WIN_DIR)/CMakeCache.txt
	@ZEMBRO_WINEPREFIX=$(RUN_PREFIX) tools/wine-run.sh --setup >/dev/null 2>&1 & setup=$$!; \
	cmake --build $(WIN_DIR) -j $(JOBS) --target Zembro ZembroJumpListHost zembro_window; rc=$$?; \
	wait $$setup; \
	if [ $$rc -ne 0 ]; then ZEMBRO_WINEPREFIX=$(RUN_PREFIX) tools/wine-run.sh --shutdown; exit $$rc; fi; \
	tools/run-zembro.sh $(WIN_DIR)

# The four windows photographed under Xvfb into docs/ at 96 DPI and docs/dpi-144/ at 144.
screenshots: deps $(WIN_DIR)/CMakeCache.txt
	cmake --build $(WIN_DIR) -j $(JOBS) --target Zembro ZembroJumpListHost zembro_screens
	tools/screenshots.sh $(WIN_DIR) 96
	tools/screenshots.sh $(WIN_DIR) 144

# The data file natively without sanitizers and under Wine, then the program.
bench: build-win
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DZEMBRO_SANITIZE=OFF >/dev/null
	cmake --build $(BENCH_DIR) -j $(JOBS) --target zembro_bench_datafile
	bench/run-bench.sh $(BUILD)

# The random session against the main window: a random seed (or SOAK_SEED) for SOAK_STEPS steps.
SOAK_STEPS ?= 20000
soak: build-win
	cd $(WIN_DIR) && ZEMBRO_SESSION_SEED=$${SOAK_SEED:-$$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')} \
	  ZEMBRO_SESSION_STEPS=$(SOAK_STEPS) ctest -R '^zembro_session_tests$$' --output-on-failure -V --timeout 0

fuzz: deps
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEMBRO_FUZZ=ON \
	      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target zembro_fuzz_datafile zembro_fuzz_seeds zembro_fuzz_layout
	mkdir -p $(FUZZ_DIR)/corpus/datafile $(FUZZ_DIR)/seeds/datafile $(FUZZ_DIR)/corpus/layout
	ZEMBRO_LOCALAPPDATA= $(FUZZ_DIR)/fuzz/zembro_fuzz_seeds $(FUZZ_DIR)/seeds/datafile
	$(FUZZ_DIR)/fuzz/zembro_fuzz_datafile -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    $(FUZZ_DIR)/corpus/datafile $(FUZZ_DIR)/seeds/datafile
	$(FUZZ_DIR)/fuzz/zembro_fuzz_layout -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    $(FUZZ_DIR)/corpus/layout

# A zip with the program and a read-me, and a per-user installer.
dist: build-win
	tools/dist/make-dist.sh $(WIN_DIR) $(BUILD)/dist

clean:
	rm -rf $(BUILD)
