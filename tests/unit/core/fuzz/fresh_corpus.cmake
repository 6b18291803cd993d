# Gives the fuzz run a fresh copy of the seed corpus: libFuzzer adds the inputs it finds
# to its corpus folder, and each run has to start from the same seeds to be repeatable.
file(REMOVE_RECURSE "${DST}")
file(COPY "${SRC}/" DESTINATION "${DST}")
