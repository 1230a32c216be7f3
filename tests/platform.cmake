# platform tests
quorvel_add_test(test_checkedfile test_checkedfile.cpp LIBS platform)
quorvel_add_test(test_samefile test_samefile.cpp LIBS platform)
