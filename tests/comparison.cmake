# comparison window tests
quorvel_add_test(test_comparison test_comparison.cpp LIBS comparison print)
