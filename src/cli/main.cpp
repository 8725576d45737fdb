#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--help") == 0) {
        std::puts("quillfern-cli: the Quillfern core from the command line (commands to come)");
        return 0;
    }
    std::fputs("usage: quillfern-cli --help\n", stderr);
    return 2;
}
