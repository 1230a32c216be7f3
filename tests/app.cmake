quorvel_add_test(test_form1 test_form1.cpp LIBS app TIMEOUT 120)
