// corvane_res holds nothing but compiled-in resources (see CMakeLists.txt); this unit only gives
// the library a source of its own. Qt links the resource objects into every program that links
// corvane_res, and they register themselves at start-up.
