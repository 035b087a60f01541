int koa_dev_version_sample(void) {
    return 1;
}
