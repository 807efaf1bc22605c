# The two commands the README gives. Both start from a fresh machine.
BUILD ?= build
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: setup configure build run test package test-windows format clean

setup:
	@bash scripts/setup

configure: setup
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD)

run: build
	@bash scripts/run-zvnum $(BUILD)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# zorvik_<version>_amd64.deb in the build folder, from the programs and the
# files the package holds (not the tests).
package: configure
	@cmake --build $(BUILD) --target zv_package

# The engine, the platform layer and ZVPURGE's registry class cross-built for
# Windows and tested under Wine.
test-windows:
	@bash scripts/test-windows

format: configure
	@cmake --build $(BUILD) --target format

clean:
	rm -rf $(BUILD)
