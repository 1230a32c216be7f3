# the window of the rainfall by duration and the intensity formulas
quorvel_add_test(test_intensitywindow test_intensitywindow.cpp LIBS app TIMEOUT 120)
