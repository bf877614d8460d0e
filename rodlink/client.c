/* The least control program, written in C against the public header and linked with the
 * import library: it proves that both serve the programs outside the package. It asks the
 * driver for its mouse information and prints it; the block must exist before it starts. */
#include <stdio.h>

#include "rodlink.h"

int main(void)
{
    char info[33] = {0};
    if (!GetMouseInfo(info, sizeof info - 1))
        return 1;
    printf("mouse information: %s\n", info);
    return EnableDisableStatus(1) ? 0 : 2;
}
