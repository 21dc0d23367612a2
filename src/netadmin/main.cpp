// Placeholder for the privileged network helper.
#include <cstdio>
int main() {
    std::fprintf(stderr, "orvanta-netadmin: not available yet\n");
    return 1;
}
