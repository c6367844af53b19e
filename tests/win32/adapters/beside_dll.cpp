// A DLL that only has to exist.
int adapter_test_beside = 0;
