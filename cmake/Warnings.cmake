add_compile_options(-Wall -Wextra -Wno-unused-parameter)
if(SYNC_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
    add_compile_definitions(SYNC_SANITIZED=1)
endif()
if(SYNC_FUZZ)
    # Coverage instrumentation for all project code, so the fuzz targets are guided by what they
    # reach inside the daemon, not only by their own entry file.
    add_compile_options(-fsanitize=fuzzer-no-link)
    # Unoptimised, every inline helper of the standard library is a function of its own with its own
    # counters and comparison hooks; the whole-daemon target then spends most of its time there and
    # runs a few hundred inputs a second. -O1 keeps the sanitizers' reports exact and is four times
    # faster. It comes after the build type's -O0, so it wins.
    add_compile_options(-O1)
endif()
