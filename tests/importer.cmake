# import window tests
quorvel_add_test(test_importer test_importer.cpp LIBS importer)
