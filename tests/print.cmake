# print tests
quorvel_add_test(test_printchart test_printchart.cpp test_print_fixture.h LIBS print)
quorvel_add_test(test_printpdf test_printpdf.cpp test_print_fixture.h LIBS print)
quorvel_add_test(test_printform2 test_printform2.cpp LIBS print)
