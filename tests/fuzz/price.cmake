fuelwise_add_fuzzer(fuzz_document fuzz_document.cpp)
fuelwise_add_fuzzer(fuzz_tree fuzz_tree.cpp)
