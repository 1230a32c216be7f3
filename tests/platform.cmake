# platform tests
quorvel_add_test(test_checkedfile test_checkedfile.cpp LIBS platform)
