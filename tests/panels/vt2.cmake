quorlin_add_test(tst_vt2 SOURCES tst_vt2.cpp panel_probe.cpp LIBRARIES quorlin_panels quorlin_virtualunit)
