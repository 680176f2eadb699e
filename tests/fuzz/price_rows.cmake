# The price page cutting.
fuelwise_add_fuzzer(fuzz_price_rows fuzz_price_rows.cpp)
