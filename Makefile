# The two commands of README.md: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test build deps bench configure clean install uninstall package
PREFIX ?= /usr/local

deps:
	@bash scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS) -- --no-print-directory

run: build
	@bash scripts/run

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@$(BUILD)/orvela-bench

# DESTDIR, when set, is honoured by cmake --install.
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

uninstall:
	@test -f $(BUILD)/install_manifest.txt || { echo "nothing installed from $(BUILD)" >&2; exit 1; }
	@while IFS= read -r f || [ -n "$$f" ]; do rm -f -- "$(DESTDIR)$$f"; done < $(BUILD)/install_manifest.txt
	@echo "removed the files listed in $(BUILD)/install_manifest.txt"

package: build
	@cd $(BUILD) && cpack -G DEB >/dev/null && ls $(CURDIR)/$(BUILD)/orvela_*.deb

clean:
	rm -rf $(BUILD)
