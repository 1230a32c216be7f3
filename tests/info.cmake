# help, splash and about tests
quorvel_add_test(test_info_helptexts test_info_helptexts.cpp LIBS info)
quorvel_add_test(test_info_splash test_info_splash.cpp LIBS info)
quorvel_add_test(test_info_about test_info_about.cpp LIBS info)
