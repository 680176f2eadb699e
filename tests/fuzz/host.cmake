fuelwise_add_fuzzer(fuzz_design_file fuzz_design_file.cpp)
# The GB18030 byte walker.
fuelwise_add_fuzzer(fuzz_gbk_decoder fuzz_gbk_decoder.cpp)
