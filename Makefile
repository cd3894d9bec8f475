# The two commands of the project; everything else is in scripts/.
.PHONY: test run dist screenshot build deps clean

test:
	@bash scripts/test.sh

run:
	@bash scripts/run.sh

dist:
	@bash scripts/dist.sh

# make screenshot [SIZE=1000x800]
screenshot:
	@bash scripts/screenshot.sh build/screenshot.png round $(SIZE)

build:
	@bash scripts/deps.sh && bash scripts/build.sh

deps:
	@bash scripts/deps.sh

clean:
	rm -rf build/native build/windows build/windows64 build/dist build/dist64
