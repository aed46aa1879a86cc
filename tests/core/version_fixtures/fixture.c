/* A program that only carries a version resource for FileVersionOf to read. */
int main(void) { return 0; }
