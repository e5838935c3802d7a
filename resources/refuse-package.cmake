message(FATAL_ERROR "kestrel: this build folder uses sanitizers; make the package from a release build "
                    "(cmake -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF, see README)")
