# Shortcuts for a machine that has make; a fresh Debian 12 uses ./quorvel.sh directly.
.PHONY: run test bench build
run test bench build:
	./quorvel.sh $@
