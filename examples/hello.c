/* hello.c: greets the world. */
#include <stdio.h>

int main(void) {
    char q = '"';           /* a quote character */
    puts("/* not a comment */");
    return 0;               // C keeps this line as it is
}
