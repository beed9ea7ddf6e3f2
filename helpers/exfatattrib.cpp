// The tools folder's exfatattrib: Debian 12 has no tool that shows or changes the attributes of
// files on an exFAT volume, so this one says so and fails.

#include <cstdio>

int main() {
    std::fputs(
        "exfatattrib: not available on this system: Debian 12 has no tool to show or change "
        "exFAT file attributes\n",
        stderr);
    return 1;
}
