// hello.cpp: greets the world.
#include <cstdio>

/* Prints the greeting.
   Returns 0. */
int main() {
    const char* url = "http://example.org/*not a comment*/";  // kept: inside a string
    std::printf("say \"hi\" // to %s\n", url);  /* the escaped quotes stay */
    return 0; // done
}
