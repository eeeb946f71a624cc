# The two commands of the project, thin wrappers over the CMake presets.
#   make run    run the board driver under Wine against the stand-ins
#   make test   install what is missing, build everything, run every test
#   make bench  build and run the benchmarks
#   make soak   the driver under Wine for SOAK_MINUTES (30) minutes; fails when
#               its memory, threads, descriptors or handles keep growing
#   make screenshots  pictures of the dialogs, under Xvfb
#   make dist   the MSI package, from the 32-bit build
#   make replay RECORDING=file   a board check's recording against the driver under Wine
.PHONY: test run replay deps bench soak screenshots dist clean

test: deps
	@scripts/test.sh

run: deps
	@scripts/run.sh

replay: deps
	@[ -n "$(RECORDING)" ] || { echo "usage: make replay RECORDING=path/Recording-....script"; exit 2; }
	@scripts/replay.sh "$(RECORDING)"

deps:
	@scripts/install-deps.sh

bench: deps
	@scripts/bench.sh

soak: deps
	@scripts/soak.sh

screenshots:
	@EXTRA_PACKAGES="xvfb imagemagick x11-utils fonts-wqy-microhei" scripts/install-deps.sh
	@scripts/screenshots.sh

dist: deps
	@cmake --preset windows >/dev/null && cmake --build --preset windows -j2 >/dev/null
	@scripts/dist.sh

clean:
	rm -rf build
