#include "tools/normalquantile.h"

#include <cstdio>

int main() {
    const std::string table = GenerateDeviateList();
    std::fwrite(table.data(), 1, table.size(), stdout);
    return 0;
}
