# The site settings: origins, command lines and city choices from outside.
fuelwise_add_fuzzer(fuzz_site_settings fuzz_site_settings.cpp)
