quorvel_add_test(test_numeric test_numeric.cpp LIBS analysis)
quorvel_add_test(test_deviatetable test_deviatetable.cpp LIBS analysis tools)
quorvel_add_test(test_datafile test_datafile.cpp LIBS analysis)
quorvel_add_test(test_series test_series.cpp LIBS analysis)
