/* A program that does nothing, linked with setup's resources so that the host tests have an
   image laid out as the product's is, to check and damage. */
int main(void) { return 0; }
