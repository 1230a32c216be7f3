# editor tests
quorvel_add_test(test_editor test_editor.cpp LIBS editor)
