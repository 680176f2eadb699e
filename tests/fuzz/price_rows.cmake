# The price page cutting and the GB18030 byte walker.
fuelwise_add_fuzzer(fuzz_price_rows fuzz_price_rows.cpp)
fuelwise_add_fuzzer(fuzz_gbk_decoder fuzz_gbk_decoder.cpp)
