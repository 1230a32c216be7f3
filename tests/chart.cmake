# screen chart tests
quorvel_add_test(test_screenchart test_screenchart.cpp LIBS chart)
quorvel_add_test(test_picturebox test_picturebox.cpp LIBS chart)
quorvel_add_test(test_probabilitypaper test_probabilitypaper.cpp LIBS chart)
