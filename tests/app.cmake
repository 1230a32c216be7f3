quorvel_add_test(test_form1 test_form1.cpp LIBS app TIMEOUT 120)
# The executable end to end; pdftotext reads its pages back.
quorvel_add_test(test_cli test_cli.cpp LIBS app TIMEOUT 120)
add_dependencies(test_cli quorvel)
# The study report, read back through the PDF tools.
quorvel_add_test(test_report test_report.cpp LIBS app TIMEOUT 180)
add_dependencies(test_report quorvel)
