# import window tests
quorvel_add_test(test_importer test_importer.cpp LIBS importer)
# the import window on files of values at a step, against the command line's tables
quorvel_add_test(test_importsteps test_importsteps.cpp LIBS importer TIMEOUT 120)
add_dependencies(test_importsteps quorvel)
