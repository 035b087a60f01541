#include <cstdio>

int main() {
    std::puts("koa_dev probe ran");
    return 0;
}
