# Set-up, build, test and benchmarks on a fresh Debian 12 machine.
PACKAGES := cmake make g++ pkg-config qt6-base-dev qt6-qpa-plugins libjpeg62-turbo-dev \
            libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth fonts-liberation2 fontconfig \
            libjpeg-turbo-progs qt6-svg-dev desktop-file-utils libglib2.0-bin poppler-utils locales \
            dpkg-dev file lintian libxlsxwriter-dev libzip-dev python3-openpyxl libreoffice-calc-nogui qt6-translations-l10n \
            r-base-core r-cran-multilevel
# The locales the suite runs under: the users' Russian one and, for comparison, two others.
LOCALES := ru_RU.UTF-8 en_US.UTF-8 de_DE.UTF-8
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS := $(shell nproc 2>/dev/null || echo 2)
XVFB := xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96"

.PHONY: all deps locales build build-tests run test tsan bench screenshots clean install-desktop \
        uninstall-desktop package

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq$$missing; \
	fi

# Generates the locales the suite runs under, as a Russian desktop has its own generated.
locales: deps
	@missing=""; \
	for l in $(LOCALES); do \
	  n=$$(echo $$l | sed 's/UTF-8/utf8/'); \
	  locale -a 2>/dev/null | grep -qx "$$n" || missing="$$missing $$l"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Generating locales:$$missing"; \
	  for l in $$missing; do \
	    $(SUDO) sed -i "s/^# *\($$l UTF-8\)/\1/" /etc/locale.gen; \
	    grep -q "^$$l UTF-8" /etc/locale.gen || echo "$$l UTF-8" | $(SUDO) tee -a /etc/locale.gen >/dev/null; \
	  done; \
	  $(SUDO) locale-gen >/dev/null; \
	fi

build: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORL_BUILD_TESTS=OFF
	cmake --build build -j $(JOBS)

# Tests run in a build of their own with AddressSanitizer and UndefinedBehaviorSanitizer.
build-tests: locales
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVORL_SANITIZE=ON -DVORL_BUILD_TESTS=ON
	cmake --build build-asan -j $(JOBS)

run: build
	./build/bin/vorlzut

# The whole suite runs in the users' world: a Russian desktop, where the C library writes "," as
# the decimal mark.
test: build build-tests
	LANG=ru_RU.UTF-8 LC_ALL= LANGUAGE= \
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	$(XVFB) ctest --test-dir build-asan --output-on-failure -j $(JOBS)

# The batch under ThreadSanitizer on every core: the respondents and groups of the samples, and
# a breakdown's subgroups, painted at once. Reports from Qt's and the system libraries' own
# locking that ThreadSanitizer cannot see are in tests/tsan.supp; any other fails the target.
tsan: locales
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORL_TSAN=ON -DVORL_BUILD_TESTS=OFF
	cmake --build build-tsan -j $(JOBS) --target vorlzut
	rm -rf build-tsan/out
	set -e; for run in "--batch build-tsan/out/one samples/petrova.txt samples/ivanov.txt 	      samples/kuznetsova.txt samples/sidorov.txt samples/smirnov.txt samples/volkova.txt 	      samples/Компания" "--batch build-tsan/out/by --by 4 samples/Компания"; do 	  LANG=ru_RU.UTF-8 LC_ALL= LANGUAGE= \
	  TSAN_OPTIONS="suppressions=$(CURDIR)/tests/tsan.supp halt_on_error=1 exitcode=66 second_deadlock_stack=1" \
	  ./build-tsan/bin/vorlzut --jobs $$(( $(JOBS) > 4 ? $(JOBS) : 4 )) $$run >/dev/null; \
	done
	@echo "tsan: no data race in the batch"

bench: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORL_BUILD_TESTS=OFF -DVORL_BUILD_BENCH=ON
	cmake --build build -j $(JOBS)
	./tools/bench.sh build

# VORL in the current user's application menu, opening answer files from a file manager.
install-desktop: build
	desktop/install.sh install build/bin

uninstall-desktop:
	desktop/install.sh uninstall

# The Debian package of the release build: build/vorl_VERSION_ARCH.deb, for dpkg -i or apt.
package: build
	cmake --build build --target package

# The README pictures, rendered from the sample data by the program's own window and report
# code: the main window and the breakdown's heat map under a virtual X server, and page 1 of
# the PDF report.
screenshots: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORL_BUILD_TESTS=OFF -DVORL_BUILD_BENCH=ON
	cmake --build build -j $(JOBS) --target window_shot breakdown_shot trend_shot
	mkdir -p docs
	LC_ALL=ru_RU.UTF-8 $(XVFB) ./build/bin/window_shot samples/petrova.txt docs/main-window.png \
	    build/report-sample.pdf
	pdftoppm -r 80 -png -singlefile -f 1 -l 1 build/report-sample.pdf docs/report-page1
	LC_ALL=ru_RU.UTF-8 $(XVFB) ./build/bin/window_shot "samples/Отдел продаж/kozlov.txt" \
	    docs/comparison.png build/report-comparison.pdf "samples/Отдел продаж"
	LC_ALL=ru_RU.UTF-8 $(XVFB) ./build/bin/breakdown_shot samples/Компания 4 docs/breakdown.png \
	    build/breakdown-sample.pdf
	LC_ALL=ru_RU.UTF-8 $(XVFB) ./build/bin/trend_shot samples/Динамика docs/trend.png \
	    build/trend-sample.pdf

clean:
	rm -rf build build-asan build-tsan
