/* A library whose only purpose is to carry a version resource for the fuzz seed corpus. */
int koa_dev_fuzz_version_seed(void) {
    return 1;
}
