/* SPDX-License-Identifier: MIT */
/* The yardstick for the batch calculator: read STATUS,AGI,PROPERTY_TAX lines
   with strtold and write six %.0Lf fields per line. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(void)
{
    char line[4096];
    while (fgets(line, sizeof line, stdin)) {
        char *p = strchr(line, ',');
        if (!p)
            continue;
        char *end;
        long double agi = strtold(p + 1, &end);
        long double tax = strtold(end + 1, NULL);
        printf("%.0Lf,%.0Lf,%.0Lf,%.0Lf,%.0Lf,%.0Lf,\n", agi, tax, agi * 0.03L, tax, agi - tax, agi + tax);
    }
    return 0;
}
